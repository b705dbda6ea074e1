// The Linux window service's message boxes: each is a process of its own,
// started with the box command, the window's centre and the text; boxes
// open at once never share a place; nothing waits for a box, not even the
// window's end. The box command here is a shell that notes its arguments
// and stays until the test ends it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/sdl_window.h"

namespace trelvan {
namespace {

namespace fs = std::filesystem;

struct Shown {
  int process = 0;
  int x = 0;
  int y = 0;
  std::string text;
};

class SdlMessageBoxes : public testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    sdlWindow_ = SDL_CreateWindow("boxes", 100, 60, 800, 600, SDL_WINDOW_HIDDEN);
    ASSERT_NE(sdlWindow_, nullptr) << SDL_GetError();
    SDL_GetWindowPosition(sdlWindow_, &left_, &top_);
    dir_ = fs::temp_directory_path() / ("trelvan-boxes-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    // $1, $2: the centre; $3: the text. Each box notes them in its own file.
    window_ = std::make_unique<SdlWindow>(
        sdlWindow_, std::vector<std::string>{
                        "/bin/sh", "-c",
                        "printf '%s %s %s\\n%s' $$ \"$1\" \"$2\" \"$3\" > \"$0.tmp.$$\" && "
                        "mv \"$0.tmp.$$\" \"$0.$$\" && exec sleep 60",
                        (dir_ / "box").string()});
  }
  void TearDown() override {
    for (const Shown& s : shown_) {
      kill(s.process, SIGKILL);
      waitpid(s.process, nullptr, 0);
    }
    window_.reset();
    if (sdlWindow_) SDL_DestroyWindow(sdlWindow_);
    SDL_Quit();
    fs::remove_all(dir_);
  }

  // Shows a box and returns what its process was handed.
  Shown Show(const char* text) {
    window_->ShowMessageBox(text);
    const size_t before = shown_.size();
    for (int i = 0; i < 500 && shown_.size() == before; ++i) {
      for (const auto& entry : fs::directory_iterator(dir_)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("box.tmp", 0) == 0 || !seen_.insert(name).second) continue;
        std::ifstream in(entry.path());
        Shown s;
        in >> s.process >> s.x >> s.y;
        in.ignore(1);
        std::getline(in, s.text, '\0');
        shown_.push_back(s);
      }
      if (shown_.size() == before) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(shown_.size(), before + 1) << "no box process for " << text;
    return shown_.size() > before ? shown_.back() : Shown{};
  }

  // Ends a box's process, as its OK button would, and waits until the
  // window has seen it end.
  void Close(const Shown& s) {
    const int before = window_->OpenBoxes();
    kill(s.process, SIGKILL);
    for (int i = 0; i < 500 && window_->OpenBoxes() == before; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const auto gone = [&](const Shown& t) { return t.process == s.process; };
    shown_.erase(std::remove_if(shown_.begin(), shown_.end(), gone), shown_.end());
  }

  SDL_Window* sdlWindow_ = nullptr;
  std::unique_ptr<SdlWindow> window_;
  fs::path dir_;
  int left_ = 0, top_ = 0;
  std::vector<Shown> shown_;
  std::set<std::string> seen_;
};

TEST_F(SdlMessageBoxes, BoxesOpenAtOnceTakeTheFirstFreePlaceAndNoneIsWaitedFor) {
  const int cx = left_ + 400, cy = top_ + 300;
  const Shown first = Show("First message");
  EXPECT_EQ(first.text, "First message");
  EXPECT_EQ(first.x, cx);
  EXPECT_EQ(first.y, cy);
  const Shown second = Show("Second message");
  EXPECT_EQ(second.x, cx + kMessageBoxOffset);
  EXPECT_EQ(second.y, cy + kMessageBoxOffset);
  const Shown third = Show("Third message");
  EXPECT_EQ(third.x, cx + 2 * kMessageBoxOffset);
  EXPECT_EQ(window_->OpenBoxes(), 3);

  // The first closed: its place, the window's centre, is free again; the
  // next after that goes past the boxes still open.
  Close(first);
  ASSERT_EQ(window_->OpenBoxes(), 2);
  EXPECT_EQ(Show("Fourth").x, cx);
  EXPECT_EQ(Show("Fifth").x, cx + 3 * kMessageBoxOffset);

  // A long text arrives broken into lines.
  const Shown longer = Show(std::string(50, 'a').append(" ").append(std::string(30, 'b')).c_str());
  EXPECT_EQ(longer.text, std::string(50, 'a') + "\n" + std::string(30, 'b'));

  // The window goes with five boxes open: nothing waits for them (a wait
  // would not end before the boxes' minute is up), and they stay.
  window_.reset();
  ASSERT_EQ(shown_.size(), 5u);
  for (const Shown& s : shown_) {
    EXPECT_EQ(waitpid(s.process, nullptr, WNOHANG), 0) << "box " << s.text << " ended";
  }
}

}  // namespace
}  // namespace trelvan
