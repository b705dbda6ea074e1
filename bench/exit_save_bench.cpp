// exit_save_bench: the exit save of the running program beside `cp` + `sync`
// of the same file, in one run. The program runs as for a user (the Linux
// front end, its Assistant in its own memory, the POSIX files service); a
// session stores 60 MB of files in 256-byte pieces and deletes a third of
// them, then the save of its exit sequence (SaveStorage: the temporary
// opened, written, flushed, renamed) is timed ROUNDS times, each beside a
// `cp FILE COPY && sync COPY` of the saved file. Printed: best and median of
// each and their ratio. Then the program's own exit (its real save) ends it.
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
#include "storage/storage_image.h"
#include "storage/whole_file.h"

using namespace trelvan;

namespace {

int rounds = 5;
std::vector<double> saves, copies;
bool failed = false;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Session(Assistant& a) {
  std::vector<uint8_t> data(2u << 20);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 131 + i / 4096);
  for (int f = 0; f < 30; ++f) {
    const std::string name = "Session " + std::to_string(f);
    data[0] = static_cast<uint8_t>(f);
    if (!StorageWriteRecord(a.storage, name.c_str(), "", "Bench", "1.00", data.data(),
                            static_cast<uint32_t>(data.size()))) {
      failed = true;
    }
  }
  for (int f = 0; f < 30; f += 3) StorageDeleteNamedFile(a.storage, ("Session " + std::to_string(f)).c_str());
}

void Ticked(Assistant& a, uint64_t, uint64_t) {
  if (a.input.QuitRequested || !saves.empty() || failed) return;
  Session(a);
  const std::string path = a.storage.path, copy = path + " copy";
  const std::string cp = "cp '" + path + "' '" + copy + "' && sync '" + copy + "'";
  for (int r = 0; r < rounds && !failed; ++r) {
    auto start = std::chrono::steady_clock::now();
    if (!SaveStorage(a.storage, a.platform.files)) failed = true;
    saves.push_back(Seconds(start));
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
  const double saveBest = *std::min_element(saves.begin(), saves.end());
  const double copyBest = *std::min_element(copies.begin(), copies.end());
  std::printf("load average %s; %d rounds of 134,217,728 bytes\n", load.c_str(), rounds);
  std::printf("exit save   best %7.1f ms  median %7.1f ms\n", saveBest * 1e3, Median(saves) * 1e3);
  std::printf("cp + sync   best %7.1f ms  median %7.1f ms\n", copyBest * 1e3, Median(copies) * 1e3);
  std::printf("save / (cp + sync): best %.2f  median %.2f\n", saveBest / copyBest,
              Median(saves) / Median(copies));
  return 0;
}
