// The smaller services of the tests: threads (real ones), running process
// names from a list, a scripted HID device, a table of library functions
// and settings from a table.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/hid.h"
#include "platform/libraries.h"
#include "platform/processes.h"
#include "platform/settings.h"
#include "platform/threads.h"

namespace trelvan {

class FakeThreads : public Threads {
 public:
  intptr_t Start(void (*body)(void*), void* argument) override {
    ++started;
    return reinterpret_cast<intptr_t>(new std::thread(body, argument));
  }
  void Join(intptr_t thread) override {
    if (thread == kNoThread) return;
    auto* t = reinterpret_cast<std::thread*>(thread);
    t->join();
    delete t;
    ++joined;
  }
  void Pause(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  int started = 0;
  int joined = 0;
};

class FakeProcesses : public Processes {
 public:
  bool IsRunning(const char* name) override {
    ++asked;
    for (const std::string& n : running) {
      if (std::strncmp(n.c_str(), name, 32) == 0) return true;
    }
    return false;
  }
  std::vector<std::string> running;
  int asked = 0;
};

// A HID device driven by the test: whether it is present, the input reports
// it answers polls with, and how each transfer's wait ends.
class FakeHid : public Hid {
 public:
  bool Open(uint16_t vendor, uint16_t product, uint16_t* in, uint16_t* out) override {
    ++opens;
    if (!present || vendor != 0x04D8 || product != 0xF320) return false;
    isOpen = true;
    *in = inputLength;
    *out = outputLength;
    return true;
  }
  HidWait Write(const uint8_t* report, uint16_t length, uint32_t waitMs) override {
    written.emplace_back(report, report + length);
    lastWaitMs = waitMs;
    return Next(writeResults);
  }
  HidWait Read(uint8_t* report, uint16_t length, uint32_t waitMs) override {
    ++reads;
    lastWaitMs = waitMs;
    const HidWait r = Next(readResults);
    std::memset(report, 0, length);
    if (r == kHidDone && !inputs.empty()) {
      const std::vector<uint8_t>& in = inputs.front();
      std::memcpy(report, in.data(), in.size() < length ? in.size() : length);
      inputs.pop_front();
    }
    return r;
  }
  void Cancel() override { ++cancels; }
  void Close() override {
    ++closes;
    isOpen = false;
  }

  bool present = false;
  bool isOpen = false;
  uint16_t inputLength = 65, outputLength = 65;
  std::deque<std::vector<uint8_t>> inputs;  /**< input reports, id byte first */
  std::deque<HidWait> writeResults, readResults;  /**< kHidDone when empty */
  std::vector<std::vector<uint8_t>> written;
  int opens = 0, reads = 0, cancels = 0, closes = 0;
  uint32_t lastWaitMs = 0;

 private:
  static HidWait Next(std::deque<HidWait>& q) {
    if (q.empty()) return kHidDone;
    const HidWait r = q.front();
    q.pop_front();
    return r;
  }
};

class FakeLibraries : public Libraries {
 public:
  void* Load(const char* name) override {
    auto it = libraries.find(name);
    return it == libraries.end() ? nullptr : &it->second;
  }
  void* Function(void* library, const char* name) override {
    auto* table = static_cast<std::map<std::string, void*>*>(library);
    auto it = table->find(name);
    return it == table->end() ? nullptr : it->second;
  }
  std::map<std::string, std::map<std::string, void*>> libraries;  /**< name -> functions */
};

class FakeSettings : public Settings {
 public:
  bool Get(const char* name, char* out, uint32_t capacity) override {
    out[0] = 0;
    auto it = values.find(name);
    if (it == values.end() || it->second.size() >= capacity) return false;
    std::memcpy(out, it->second.c_str(), it->second.size() + 1);
    return true;
  }
  std::map<std::string, std::string> values;
};

}  // namespace trelvan
