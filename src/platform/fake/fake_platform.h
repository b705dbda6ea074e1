// The test platform: every fake service on one private temporary folder, and
// the Platform an Assistant is made with (`Assistant a(platform)`).
#pragma once

#include <string>

#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_files.h"
#include "platform/fake/fake_instance.h"
#include "platform/fake/fake_services.h"
#include "platform/fake/fake_udp.h"
#include "platform/fake/fake_window.h"
#include "platform/platform.h"

namespace trelvan {

struct FakePlatform {
  // The data folder: `dataFolder` when given, else a fresh temporary folder
  // removed with the platform.
  explicit FakePlatform(const std::string& dataFolder = "") : files(dataFolder) {}

  FakeWindow window;
  FakeFiles files;
  FakeInstance instance;
  FakeUdp udp;
  FakeThreads threads;
  FakeProcesses processes;
  FakeHid hid;
  FakeLibraries libraries;
  FakeSettings settings;
  FakeAudio audio;

  operator Platform() {
    return Platform{window, files, instance, udp, threads, processes, hid, libraries, settings,
                    audio};
  }
  std::string DataPath(const std::string& name) const { return files.DataPath(name); }
};

}  // namespace trelvan
