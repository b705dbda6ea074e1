// exit_save_bench: the exit save of the running program beside `cp` +
// `sync` of the same file, in one run. The program runs as for a user (the
// Linux front end, its Assistant in its own memory, the POSIX files
// service). A first session stores 60 MB of files and is saved whole: the
// storage file the next sessions start from. Each of ROUNDS sessions then
// stores a file of 1% of the blocks, and its exit save (SaveWithJournal:
// the journal's commit made durable, the save record, the changed blocks
// in place, the journal removed) is timed, then a whole-file save of the
// same image (SaveStorage: the temporary written, flushed, renamed) and a
// `cp FILE COPY && sync COPY` of the saved file. Printed: best and median
// of each and the ratios. Then the program's own exit ends it.
//
//   exit_save_bench [ROUNDS]     (default 5; SDL's offscreen window without DISPLAY)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "main/linux/message_box.h"
#include "main/linux/sdl_program.h"
#include "shell/assistant.h"
#include "storage/file_system.h"
#include "storage/journal_save.h"
#include "storage/whole_file.h"

using namespace trelvan;

namespace {

int rounds = 5;
std::vector<double> saves, wholes, copies;
bool failed = false;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Store(Assistant& a, const std::string& name, size_t bytes) {
  std::vector<uint8_t> data(bytes);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 131 + name.size());
  if (!StorageWriteRecord(a.storage, name.c_str(), "", "Bench", "1.00", data.data(),
                          static_cast<uint32_t>(data.size()))) {
    failed = true;
  }
}

// The save becomes the next session's storage file, with a new journal.
void BeginSession(Assistant& a) {
  TakeJournalBase(a.storage, a.journal, kJournalBaseFile);
  if (!StartJournal(a.storage, a.journal, a.platform.files, &a.platform.threads)) failed = true;
}

void Ticked(Assistant& a, uint64_t, uint64_t) {
  if (a.input.QuitRequested || !saves.empty() || failed) return;
  for (int f = 0; f < 30; ++f) Store(a, "Session " + std::to_string(f), 2u << 20);
  if (!SaveWithJournal(a.storage, a.journal, a.platform.files)) failed = true;
  BeginSession(a);
  const std::string path = a.storage.path, copy = path + " copy";
  const std::string cp = "cp '" + path + "' '" + copy + "' && sync '" + copy + "'";
  const size_t onePercent = (kBlockCount / 100 - 1) * kBlockSize - 64;  // with its header
  for (int r = 0; r < rounds && !failed; ++r) {
    Store(a, "Round " + std::to_string(r), onePercent);
    const uint32_t changed = a.storage.changed.count;
    auto start = std::chrono::steady_clock::now();
    if (!SaveWithJournal(a.storage, a.journal, a.platform.files)) failed = true;
    saves.push_back(Seconds(start));
    if (r == 0) std::printf("a session changed %u of %u blocks\n", changed, kBlockCount);
    start = std::chrono::steady_clock::now();
    if (!SaveStorage(a.storage, a.platform.files)) failed = true;
    wholes.push_back(Seconds(start));
    BeginSession(a);
    start = std::chrono::steady_clock::now();
    if (std::system(cp.c_str()) != 0) failed = true;
    copies.push_back(Seconds(start));
    std::filesystem::remove(copy);
  }
  a.input.QuitRequested = 1;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

}  // namespace

int main(int argc, char** argv) {
  if (const int box = RunMessageBoxIfAsked(argc, argv); box >= 0) return box;
  if (argc > 1) rounds = std::max(1, std::atoi(argv[1]));
  const std::string work = std::filesystem::temp_directory_path() /
                           ("trelvan-exit-save-" + std::to_string(getpid()));
  std::filesystem::create_directories(work);
  setenv("TRELVAN_DATA_DIR", work.c_str(), 1);
  if (!getenv("DISPLAY") && !getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
  const SdlProgramHooks hooks{nullptr, nullptr, Ticked};
  const int status = RunSdlProgram(&hooks);
  std::filesystem::remove_all(work);
  if (failed || saves.empty() || status != 0) {
    std::fprintf(stderr, "exit_save_bench: the session or a save failed (status %d)\n", status);
    return 1;
  }
  std::string load = "?";
  if (FILE* f = std::fopen("/proc/loadavg", "r")) {
    char text[32] = {};
    if (std::fscanf(f, "%31s", text) == 1) load = text;
    std::fclose(f);
  }
  std::printf("load average %s; %d rounds on a storage file of 134,217,728 bytes\n", load.c_str(),
              rounds);
  std::printf("exit save (in place)  best %7.1f ms  median %7.1f ms\n", Best(saves) * 1e3,
              Median(saves) * 1e3);
  std::printf("whole-file save       best %7.1f ms  median %7.1f ms\n", Best(wholes) * 1e3,
              Median(wholes) * 1e3);
  std::printf("cp + sync             best %7.1f ms  median %7.1f ms\n", Best(copies) * 1e3,
              Median(copies) * 1e3);
  std::printf("exit save / (cp + sync): best %.3f  median %.3f (aim: at most 0.2)\n",
              Best(saves) / Best(copies), Median(saves) / Median(copies));
  std::printf("whole-file save / (cp + sync): best %.2f  median %.2f\n", Best(wholes) / Best(copies),
              Median(wholes) / Median(copies));
  return 0;
}
