// Downloads one file from the stand-in update server on loopback with the
// program's own download step function, one call per 10 ms tick as the main
// page makes it, and prints the rate against the limit of one 400-byte chunk
// per tick (40,000 bytes per second); then the same with every tenth
// datagram dropped, against the time the chunks alone would take.
//
// The download step takes a reply that arrived since the tick's own
// acceptance, so one chunk moves per tick.
//
//   server_download_bench [BYTES [LOSSY_BYTES]]     (1,048,576 each by default)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/net.h"
#include "platform/fake/fake_platform.h"
#include "platform/linux/posix_threads.h"
#include "platform/linux/posix_udp.h"
#include "storage/steps.h"
#include "storage/file_system.h"
#include "../tests/net/free_port.h"

using namespace trelvan;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* kName = "Bench Download";
constexpr double kTickSeconds = 0.010;

struct Result {
  bool stored;
  double seconds;
  uint32_t ticks;
};

// A storage file of `size` bytes in all, header first.
std::vector<uint8_t> ServedFile(uint32_t size) {
  std::vector<uint8_t> bytes(size);
  const int header = StorageBuildHeader(bytes.data(), kName, "", "Program", "1.00");
  for (uint32_t i = static_cast<uint32_t>(header); i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 31 + i / 251);
  return bytes;
}

Result TimeDownload(uint32_t size, uint32_t dropEvery) {
  FakePlatform fake;
  PosixUdp udp;
  PosixThreads threads;
  Platform p{fake.window, fake.files, fake.instance, udp, threads, fake.processes,
             fake.hid, fake.libraries, fake.settings};
  const std::vector<uint8_t> bytes = ServedFile(size);
  const std::string folder = fake.DataPath("served");
  std::string command = "mkdir -p '" + folder + "'";
  if (std::system(command.c_str()) != 0) return {};
  FILE* f = std::fopen((folder + "/" + kName).c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, size, f) != size || std::fclose(f) != 0) return {};

  const uint16_t port = testing::FreePort();
  fflush(stdout);
  const pid_t server = ::fork();
  if (server == 0) {
    if (!std::freopen("/dev/null", "w", stdout)) ::_exit(127);
    const std::string portText = std::to_string(port), dropText = std::to_string(dropEvery);
    ::execl(TRELVAN_UPDATE_SERVER, "trelvan-update-server", folder.c_str(), "--port", portText.c_str(),
            "--drop-every", dropText.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // until it listens

  fake.settings.values = {{"TRELVAN_SERVER", "127.0.0.1:" + std::to_string(port)},
                          {"TRELVAN_SERVER_LOCAL_PORT", std::to_string(testing::FreePort())}};
  std::unique_ptr<Net> net(new Net{});
  std::unique_ptr<Storage> s(new Storage);
  StartFreshStorage(*s);
  ReadServerSettings(net->server, p);
  Result r{false, 0, 0};
  if (ServerLinkStart(net->server, p)) {
    const Clock::time_point start = Clock::now();
    Clock::time_point tick = start;
    int step = DownloadServerFile(*net, *s, p, 1, kName);
    while (step != kStepDone && step != kStepFailed) {
      tick += std::chrono::milliseconds(10);
      std::this_thread::sleep_until(tick);
      step = DownloadServerFile(*net, *s, p, 0, kName);
      ServiceServerChannel(net->server, p);
      ++r.ticks;
    }
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const int index = StorageFindFile(*s, kName);
    std::vector<uint8_t> stored(index >= 0 ? StorageFileSize(*s, static_cast<uint16_t>(index)) : 0);
    if (index >= 0) StorageReadData(*s, static_cast<uint16_t>(index), 0, stored.data(), static_cast<uint32_t>(stored.size()));
    r.stored = step == kStepDone && stored == bytes;
  }
  ServerLinkClose(net->server);
  ::kill(server, SIGTERM);
  ::waitpid(server, nullptr, 0);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  const uint32_t size = argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 1048576;
  const uint32_t lossySize = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : size;
  const double limit = 400 / kTickSeconds;

  const uint32_t chunks = (size + 399) / 400;
  // In the tick's order: the download step (the page's timer), then the
  // channel's own acceptance and resend at the tick's end.
  const Result clean = TimeDownload(size, 0);
  printf("%u bytes (%u chunks + 1 information request): %.2f s, %u ticks, %.0f B/s = %.1f%% of %.0f B/s%s\n",
         size, chunks, clean.seconds, clean.ticks, size / clean.seconds, 100 * size / clean.seconds / limit, limit,
         clean.stored ? "" : "  (NOT STORED INTACT)");
  const Result lossy = TimeDownload(lossySize, 10);
  const uint32_t lossyChunks = (lossySize + 399) / 400;
  const double ideal = (lossyChunks + 1) * kTickSeconds;
  printf("every 10th datagram dropped, %u bytes: %.2f s against %.2f s ideal (%.1f x), %.0f B/s%s\n", lossySize,
         lossy.seconds, ideal, lossy.seconds / ideal, lossySize / lossy.seconds,
         lossy.stored ? "" : "  (NOT STORED INTACT)");
  return clean.stored && lossy.stored ? 0 : 1;
}
