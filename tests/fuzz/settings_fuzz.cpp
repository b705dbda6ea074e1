// Fuzz target: the settings read from the environment, as the channels take
// them. One input: up to five values, one a line, for TRELVAN_SERVER,
// TRELVAN_SERVER_LOCAL_PORT, TRELVAN_SIMULATOR_PORTS, TRELVAN_SIMULATOR_ADDRESS
// and TRELVAN_SIMULATOR_PROCESS; what follows the fifth line is the data
// folder's settings file. Properties: an address taken is the value whole or
// its part before ":", never cut; a value too long for its field counts as
// unset; a server chosen is TRELVAN_SERVER's when that is valid, else one
// "server=NAME:PORT" line of the file, always a valid name with a port;
// ports are the defaults unless a value gave them.
#include "fuzz_common.h"
#include "link/simulator_channel.h"
#include "net/server_channel.h"

namespace trelvan::fuzz {

void WriteSeeds(Seeds& seeds) {
  seeds.AddTexts("settings", {
      "127.0.0.1:4608\n4608\n6768:6769\n127.0.0.1\nTX Simulator.exe",
      "127.0.0.2:1\n65535\n1:2\n127.0.0.255\nTX Simulator 12345678901234567890.exe",
      "127.0.0.1:99999\n0\n6768\n127.000.000.001x\n\nserver=updates.example.org:4700\n",
      "\n\n\n\n\n# ours\r\nserver=a..b:1\r\nserver=c.example:2\r\n",
      ":\n-1\n:6769\n\n\xC3\xA9",
  });
}

int TestOneInput(const uint8_t* data, size_t size) {
  static FakePlatform* platform = new FakePlatform(TempFolder());
  const char* names[5] = {"TRELVAN_SERVER", "TRELVAN_SERVER_LOCAL_PORT", "TRELVAN_SIMULATOR_PORTS",
                          "TRELVAN_SIMULATOR_ADDRESS", "TRELVAN_SIMULATOR_PROCESS"};
  const std::vector<std::string> given = SplitLines(data, size, 5);
  // Value i was given, without a zero byte (an environment value ends there).
  const auto set = [&given](size_t i) { return i < given.size() && given[i].find('\0') == given[i].npos; };
  platform->settings.values.clear();
  for (size_t i = 0; i < 5; ++i) {
    if (set(i)) platform->settings.values[names[i]] = given[i];
  }
  const std::string file = given.size() > 5 ? given[5] : std::string();
  const std::string path = TempFolder() + "/" + kSettingsFileName;
  std::remove(path.c_str());
  if (!file.empty()) std::ofstream(path, std::ios::binary) << file;
  Platform p = *platform;
  ServerChannel server;
  ReadServerSettings(server, p);
  SimulatorChannel simulator;
  ReadSimulatorSettings(simulator, p);

  const std::string name = server.serverName;
  const std::string line = "server=" + name + ":";  // the port may be written with leading zeros
  const bool fromFile = file.compare(0, line.size(), line) == 0 ||
                        file.find("\n" + line) != std::string::npos ||
                        file.find("\r" + line) != std::string::npos;
  if (!name.empty() && server.serverFromEnvironment &&
      (!set(0) || given[0].compare(0, name.size() + 1, name + ":") != 0)) {
    Fail("a server other than the setting's", name.c_str());
  }
  if (!name.empty() && !server.serverFromEnvironment && !fromFile) {
    Fail("a server from neither the setting nor the file", name.c_str());
  }
  if (!name.empty() && (server.serverPort == 0 || !ValidServerName(server.serverName))) {
    Fail("a server chosen without a valid name and port", name.c_str());
  }
  const std::string to(simulator.address);
  if (!to.empty() && (!set(3) || to != given[3])) Fail("the simulator address was cut", to.c_str());
  if (set(3) && !given[3].empty() && given[3].size() < sizeof simulator.address && to != given[3]) {
    Fail("a simulator address that fits was not taken", given[3].c_str());
  }
  if (!set(1) && server.localPort != 4608) Fail("a local port other than the default 4608");
  return 0;
}

}  // namespace trelvan::fuzz
