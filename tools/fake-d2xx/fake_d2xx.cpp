// libftd2xx.so / Ftd2xx.dll stand-in: the 12 functions of the serial driver
// library, whose one device is the stand-in handheld. At the device's open
// the handheld starts on a thread of its own and runs the command in
// TRELVAN_FAKE_D2XX ("pull DIR", "push FILE" or "noop"); each request goes
// out as a frame [L, 0, packet] for FT_Read, and the frame FT_Write takes
// is its reply. TRELVAN_FAKE_D2XX_DEVICES sets the count listed (default 1);
// with TRELVAN_FAKE_D2XX_AFTER=FILE the handheld waits (up to a minute)
// for FILE to exist before it runs its command, as a user starts a pull
// once the program shows what it offers.
// Built once with every function, and once (TRELVAN_FAKE_D2XX_LACK_READ)
// without FT_Read.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <string>

#include "device_sync.h"
#include "handheld_client.h"
#include "link/d2xx_functions.h"

using trelvan::FtHandle;
using trelvan::FtStatus;
using trelvan::handheld::Bytes;

#if defined(_WIN32)
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

constexpr FtStatus kOk = 0;
constexpr FtStatus kFailed = 4;

using fake_d2xx::Guard;

struct Device {
  std::deque<uint8_t> toAssistant;  /**< request frames waiting for FT_Read */
  Bytes reply;
  bool hasReply = false;
  bool started = false;
  bool answered = false;  /**< the assistant has answered once: it serves this link */
  int handle = 1;
} device;

bool Exchange(const Bytes& request, Bytes* reply) {
  Guard guard;
  // Frames the assistant reads before its probe has chosen the serial link
  // go unanswered: until the first answer a request is sent again each
  // second, as the simulator stand-in does.
  const int attempts = device.answered ? 1 : 10;
  for (int a = 0; a < attempts; ++a) {
    device.hasReply = false;
    device.toAssistant.clear();
    device.toAssistant.push_back(static_cast<uint8_t>(request.size() + 1));
    device.toAssistant.push_back(0);  // the byte the assistant does not look at
    device.toAssistant.insert(device.toAssistant.end(), request.begin(), request.end());
    if (fake_d2xx::WaitFor([] { return device.hasReply; }, device.answered ? 10000 : 1000)) {
      device.answered = true;
      *reply = device.reply;
      return true;
    }
  }
  return false;
}

void RunHandheld() {
  const char* command = std::getenv("TRELVAN_FAKE_D2XX");
  if (!command) return;
  const std::string c = command;
  if (const char* after = std::getenv("TRELVAN_FAKE_D2XX_AFTER")) {
    for (int i = 0; i < 1200 && !std::ifstream(after); ++i) {
      Guard pause;  // the wait lets the lock go: 50 ms with nothing to wait for
      fake_d2xx::WaitFor([] { return false; }, 50);
    }
  }
  trelvan::handheld::Client client;
  client.exchange = Exchange;
  const auto start = std::chrono::steady_clock::now();
  bool ok = false;
  if (c.rfind("pull ", 0) == 0) {
    ok = client.Pull(c.substr(5)) >= 0;
  } else if (c.rfind("push ", 0) == 0) {
    std::ifstream in(c.substr(5), std::ios::binary);
    ok = client.Push(Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
  } else if (c == "noop") {
    ok = client.NoOp();
  }
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fprintf(stderr, "%sfake-d2xx: %s %s, %u requests, %.1f per second\n", client.log.c_str(),
               c.c_str(), ok ? "done" : "failed", client.requests, s > 0 ? client.requests / s : 0.0);
  if (const char* done = std::getenv("TRELVAN_FAKE_D2XX_DONE")) {
    std::ofstream(done) << (ok ? "ok\n" : "failed\n");
  }
}

}  // namespace

#define CALL TRELVAN_LIBRARY_CALL

FAKE_EXPORT FtStatus CALL FT_Write(FtHandle, void* bytes, uint32_t n, uint32_t* written) {
  const auto* b = static_cast<const uint8_t*>(bytes);
  Guard guard;
  *written = n;
  if (n < 1 || b[0] + 1u != n) return kOk;  // not one whole reply frame
  device.reply.assign(b + 1, b + n);
  device.hasReply = true;
  fake_d2xx::NotifyAll();
  return kOk;
}

#ifndef TRELVAN_FAKE_D2XX_LACK_READ
FAKE_EXPORT FtStatus CALL FT_Read(FtHandle, void* bytes, uint32_t n, uint32_t* read) {
  Guard guard;
  auto* b = static_cast<uint8_t*>(bytes);
  for (*read = 0; *read < n && !device.toAssistant.empty(); ++*read) {
    b[*read] = device.toAssistant.front();
    device.toAssistant.pop_front();
  }
  return kOk;
}
#endif

FAKE_EXPORT FtStatus CALL FT_Open(int index, FtHandle* handle) {
  if (index != 0) return kFailed;
  *handle = &device.handle;
  Guard guard;
  if (!device.started) {
    device.started = true;
    fake_d2xx::StartThread(RunHandheld);
  }
  return kOk;
}

FAKE_EXPORT FtStatus CALL FT_OpenEx(void*, uint32_t, FtHandle*) { return kFailed; }

FAKE_EXPORT FtStatus CALL FT_ListDevices(void* count, void*, uint32_t flags) {
  if (flags != trelvan::kFtListNumberOnly) return kFailed;
  const char* n = std::getenv("TRELVAN_FAKE_D2XX_DEVICES");
  *static_cast<uint32_t*>(count) = n ? static_cast<uint32_t>(std::atoi(n)) : 1;
  return kOk;
}

FAKE_EXPORT FtStatus CALL FT_Close(FtHandle) { return kOk; }
FAKE_EXPORT FtStatus CALL FT_ResetDevice(FtHandle) { return kOk; }
FAKE_EXPORT FtStatus CALL FT_Purge(FtHandle, uint32_t) { return kOk; }
FAKE_EXPORT FtStatus CALL FT_SetTimeouts(FtHandle, uint32_t, uint32_t) { return kOk; }

FAKE_EXPORT FtStatus CALL FT_GetQueueStatus(FtHandle, uint32_t* waiting) {
  Guard guard;
  *waiting = static_cast<uint32_t>(device.toAssistant.size());
  return kOk;
}

FAKE_EXPORT FtStatus CALL FT_SetBaudRate(FtHandle, uint32_t baud) {
  return baud == 57600 ? kOk : kFailed;
}

FAKE_EXPORT FtStatus CALL FT_SetDataCharacteristics(FtHandle, uint8_t bits, uint8_t stop,
                                                     uint8_t parity) {
  return bits == 8 && stop == 0 && parity == 0 ? kOk : kFailed;
}
