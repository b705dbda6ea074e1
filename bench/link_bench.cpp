// link_bench: the stand-in handheld pulls a 1 MB stored file from the
// program as it runs for a user: the Linux window's event loop, its 10 ms
// timer and the real sockets, threads, process list and dlopen. The program
// answers one request per tick, so 100 requests a second is the ceiling.
//
//   link_bench [simulator|serial|hid]     (all three when none is named)
//
// simulator: trelvan-handheld run as "TX Simulator.exe" on free loopback ports.
// serial:    the stand-in libftd2xx.so found by dlopen through LD_LIBRARY_PATH
//            (the bench runs itself again with it set).
// hid:       the stand-in hidapi library preloaded (LD_PRELOAD, likewise),
//            its device the handheld in --hid mode: 60 bytes a read, where
//            the others read 250.
// Printed per link: the requests per second from the first request to the
// last, the timer's ticks per second and their spacing, the ticks that found
// no request waiting, and the tick's own duration (median, 99th percentile,
// worst) while serving. Without DISPLAY the window is SDL's offscreen one.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "link/transfer_lists.h"
#include "net/free_port.h"
#include "main/linux/message_box.h"
#include "main/linux/sdl_program.h"
#include "shell/assistant.h"
#include "shell/shell.h"
#include "storage/whole_file.h"

using namespace trelvan;

namespace {

constexpr uint32_t kFileSize = 1u << 20;
constexpr const char* kFileName = "Bench~";
constexpr uint64_t kGiveUpNs = 400'000'000'000u;  // HID: 17,500 reads

struct Tick {
  uint64_t start, duration;
  bool served;  /**< a request was answered in this tick */
};

struct Run {
  bool serial = false;
  bool hid = false;
  std::string folder;        /**< where the handheld writes the file */
  std::string handheldOut;   /**< the simulator stand-in's standard output */
  std::string doneFile;      /**< the serial stand-in writes "ok" here */
  pid_t handheld = -1;
  int handheldStatus = -1;
  bool finished = false, gaveUp = false;
  uint16_t lastPacketCount = 0;
  uint64_t firstTick = 0;
  std::vector<Tick> ticks;
} run;

void Started(Assistant& a) {
  std::vector<uint8_t> data(kFileSize);
  for (uint32_t i = 0; i < kFileSize; ++i) data[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
  if (!StorageWriteRecord(a.storage, kFileName, "", "Picture", "1.00", data.data(), kFileSize) ||
      AddToSelection(a.link.transfer, kFileName) != kSelectAdded) {
    std::fprintf(stderr, "link_bench: the file could not be stored and selected\n");
    std::exit(1);
  }
  run.ticks.reserve(60000);
  if (run.serial) {
    a.setup.useOlderUsbDrivers = 1;  // the setup switch: the library loads on the first tick
    return;
  }
  run.handheld = fork();
  if (run.handheld == 0) {
    if (!std::freopen(run.handheldOut.c_str(), "w", stdout)) _exit(126);
    char name[] = "TX Simulator.exe";
    char hid[] = "--hid";
    char pull[] = "pull";
    char* simulator[] = {name, pull, const_cast<char*>(run.folder.c_str()), nullptr};
    char* device[] = {name, hid, pull, const_cast<char*>(run.folder.c_str()), nullptr};
    char** argv = run.hid ? device : simulator;
    execv(TRELVAN_HANDHELD, argv);
    _exit(127);
  }
}

void Ticked(Assistant& a, uint64_t start, uint64_t duration) {
  const uint16_t packets = a.link.handheld.packetCount;
  // The transfer monitor clears the count once a second, before the service
  // counts the tick's request: a change is a request served.
  run.ticks.push_back({start, duration, packets != run.lastPacketCount});
  run.lastPacketCount = packets;
  if (!run.firstTick) run.firstTick = start;
  if (run.serial) {
    run.finished = std::filesystem::exists(run.doneFile);
  } else {
    run.finished = waitpid(run.handheld, &run.handheldStatus, WNOHANG) == run.handheld;
  }
  if (!run.finished && start - run.firstTick > kGiveUpNs) {
    run.gaveUp = run.finished = true;
    if (!run.serial) kill(run.handheld, SIGKILL);
  }
  if (run.finished) {
    a.shell.SecondCopy = 1;  // ends without saving the 128 MB image
    ExitSequence(a);
  }
}

double Percentile(std::vector<uint64_t> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return static_cast<double>(v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))]);
}

std::string LastLine(const std::string& path) {
  std::ifstream in(path);
  std::string line, last;
  while (std::getline(in, line)) last = line;
  return last;
}

// The figures of one pull, from its first request to its last.
bool Report() {
  const char* link = run.serial ? "serial" : run.hid ? "hid" : "simulator";
  size_t first = run.ticks.size(), last = 0, served = 0;
  for (size_t i = 0; i < run.ticks.size(); ++i) {
    if (!run.ticks[i].served) continue;
    first = std::min(first, i);
    last = i;
    ++served;
  }
  bool ok = !run.gaveUp && served > 1;
  if (run.serial) {
    std::ifstream done(run.doneFile);
    std::string word;
    ok = ok && (done >> word) && word == "ok";
  } else {
    ok = ok && WIFEXITED(run.handheldStatus) && WEXITSTATUS(run.handheldStatus) == 0;
  }
  std::error_code error;
  ok = ok && std::filesystem::file_size(run.folder + "/" + kFileName, error) > kFileSize;
  if (!ok) {
    std::printf("%s: the pull did not complete\n", link);
    return false;
  }
  std::vector<uint64_t> spacing, durations;
  // Gaps of 15 ms or more lose ticks while the loop is held up; the rest of
  // the spacing's excess over 10 ms is the timer's period drifting.
  size_t gaps = 0;
  double gapMs = 0;
  for (size_t i = first; i <= last; ++i) {
    durations.push_back(run.ticks[i].duration);
    if (i == first) continue;
    spacing.push_back(run.ticks[i].start - run.ticks[i - 1].start);
    const double ms = static_cast<double>(spacing.back()) / 1e6;
    if (ms >= 15) {
      ++gaps;
      gapMs += ms - 10;
    }
  }
  const double seconds = static_cast<double>(run.ticks[last].start - run.ticks[first].start) / 1e9;
  const size_t ticks = last - first + 1;
  const double rate = static_cast<double>(served - 1) / seconds;
  std::printf("%s: %zu requests in %.2f s: %.1f per second (the ceiling is 100)\n", link,
              served, seconds, rate);
  std::printf("  ticks: %zu, %zu of them found no request; spacing mean %.3f ms, median %.2f ms,"
              " p99 %.2f ms, worst %.2f ms\n",
              ticks, ticks - served, seconds * 1e3 / static_cast<double>(ticks - 1),
              Percentile(spacing, 0.5) / 1e6, Percentile(spacing, 0.99) / 1e6,
              Percentile(spacing, 1) / 1e6);
  std::printf("  gaps of 15 ms or more: %zu, %.0f ms beyond 10 ms in all\n", gaps, gapMs);
  std::printf("  tick duration: median %.1f us, p99 %.1f us, worst %.1f us\n",
              Percentile(durations, 0.5) / 1e3, Percentile(durations, 0.99) / 1e3,
              Percentile(durations, 1) / 1e3);
  if (!run.serial) std::printf("  handheld: %s\n", LastLine(run.handheldOut).c_str());
  return true;
}

void SetPort(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }

// One pull over `link` in a process of its own; its exit status.
int RunLink(const char* self, const std::string& link) {
  const std::string work = (std::filesystem::temp_directory_path() /
                            ("link_bench." + std::to_string(getpid()) + "." + link)).string();
  std::filesystem::create_directories(work + "/pulled");
  const pid_t child = fork();
  if (child == 0) {
    SetPort("TRELVAN_DATA_DIR", work);
    SetPort("TRELVAN_SIMULATOR_PORTS",
            std::to_string(testing::FreePort()) + ":" + std::to_string(testing::FreePort()));
    SetPort("TRELVAN_SIMULATOR_ADDRESS", "127.0.0.1");
    SetPort("TRELVAN_SERVER", "127.0.0.1:" + std::to_string(testing::FreePort()));
    SetPort("TRELVAN_SERVER_LOCAL_PORT", std::to_string(testing::FreePort()));
    if (!getenv("DISPLAY") && !getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (link == "serial") {
      SetPort("LD_LIBRARY_PATH", TRELVAN_FAKE_D2XX_DIR "/full");
      SetPort("TRELVAN_FAKE_D2XX", "pull " + work + "/pulled");
      SetPort("TRELVAN_FAKE_D2XX_DONE", work + "/serial.done");
    }
    if (link == "hid") {
      SetPort("LD_PRELOAD", TRELVAN_FAKE_HIDAPI);
      SetPort("TRELVAN_FAKE_HID_PORTS",
              std::to_string(testing::FreePort()) + ":" + std::to_string(testing::FreePort()));
    }
    execl(self, self, link.c_str(), "--in-process", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = -1;
  waitpid(child, &status, 0);
  std::filesystem::remove_all(work);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (const int box = RunMessageBoxIfAsked(argc, argv); box >= 0) return box;
  const std::string link = argc > 1 ? argv[1] : "";
  if (argc > 3 || (!link.empty() && link != "simulator" && link != "serial" && link != "hid")) {
    std::fprintf(stderr, "usage: link_bench [simulator|serial|hid]\n");
    return 2;
  }
  if (argc == 3 && std::strcmp(argv[2], "--in-process") == 0) {
    const std::string work = getenv("TRELVAN_DATA_DIR");
    run.serial = link == "serial";
    run.hid = link == "hid";
    run.folder = work + "/pulled";
    run.handheldOut = work + "/handheld.out";
    run.doneFile = work + "/serial.done";
    const SdlProgramHooks hooks{Started, nullptr, Ticked};
    RunSdlProgram(&hooks);
    return Report() ? 0 : 1;
  }
  std::string load = "?";
  std::ifstream("/proc/loadavg") >> load;
  std::printf("load average %s on %ld cores\n", load.c_str(), sysconf(_SC_NPROCESSORS_ONLN));
  std::fflush(stdout);
  int status = 0;
  for (const char* l : {"simulator", "serial", "hid"}) {
    if (link.empty() || link == l) status |= RunLink(argv[0], l);
  }
  return status;
}
