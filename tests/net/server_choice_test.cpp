// The update server the user chooses: the names and ports taken, the
// settings file that keeps the choice (and TRELVAN_SERVER over it), and the
// channel that sends to the chosen server only, by its resolved address.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "net/server_channel.h"
#include "net/server_settings.h"
#include "platform/fake/fake_platform.h"

namespace trelvan {
namespace {

std::string SettingsPath(FakePlatform& fake) { return fake.DataPath(kSettingsFileName); }

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::string ReadText(const std::string& path) {
  std::stringstream s;
  s << std::ifstream(path).rdbuf();
  return s.str();
}

// The choice the settings file keeps, as "name:port"; "none" when it keeps
// none, which clears the choice read into.
std::string Kept(FakePlatform& fake) {
  ServerChoice read{"stale.example", 1};
  if (ReadServerChoice(fake.files, read)) return std::string(read.name) + ":" + std::to_string(read.port);
  return read.name[0] ? "none, the name left" : "none";
}

TEST(ServerChoice, NamesAndPortsTaken) {
  const std::string longest(kServerNameCapacity - 1, 'a');  // the longest name the field holds
  const struct { std::string text; bool taken; } cases[] = {
      {"updates.example.org:4608", true}, {"Trains-2.example:1", true}, {"localhost:65535", true},
      {"127.1.2.3:4608", true},            {"x:0", false},               {"x:65536", false},
      {"x:", false},                      {":4608", false},             {"x", false},
      {"-x.org:1", false},                {"x-.org:1", false},          {"a..b:1", false},
      {"a.b.:1", false},                  {".a:1", false},              {"host_name:1", false},
      {"a b:1", false},                   {"127.0.0.300:1", false},       {"1.2.3:1", false},
      {"127.0.0.1.5:1", false},             {"x:46o8", false},            {longest + ":1", true},
      {longest + "a:1", false},
  };
  for (const auto& c : cases) {
    ServerChoice choice{};
    EXPECT_EQ(ParseServerChoice(c.text.c_str(), choice), c.taken) << c.text;
    EXPECT_TRUE(c.taken || choice.name[0] == 0) << c.text;  // a refused text leaves no name
  }
}

TEST(ServerChoice, KeptInTheSettingsFile) {
  FakePlatform fake;
  EXPECT_EQ(Kept(fake), "none");  // no file: no server

  const ServerChoice chosen{"updates.example.org", 4700};
  ASSERT_TRUE(WriteServerChoice(fake.files, chosen));
  EXPECT_EQ(ReadText(SettingsPath(fake)), "server=updates.example.org:4700\n");
  EXPECT_EQ(Kept(fake), "updates.example.org:4700");

  // A temporary left by a cut write is replaced; a write that fails
  // anywhere leaves the old file and no temporary.
  WriteText(SettingsPath(fake) + ".new", "server=left.over:1\n");
  ASSERT_TRUE(WriteServerChoice(fake.files, ServerChoice{"127.0.0.9", 4608}));
  EXPECT_EQ(ReadText(SettingsPath(fake)), "server=127.0.0.9:4608\n");
  for (bool* failure : {&fake.files.failOpenWrite, &fake.files.failFlush, &fake.files.failRename}) {
    *failure = true;
    EXPECT_FALSE(WriteServerChoice(fake.files, ServerChoice{"other.example", 1}));
    *failure = false;
    EXPECT_EQ(ReadText(SettingsPath(fake)), "server=127.0.0.9:4608\n");
    EXPECT_FALSE(std::ifstream(SettingsPath(fake) + ".new").good());
  }
  // a name that is none is never written
  EXPECT_FALSE(WriteServerChoice(fake.files, ServerChoice{"bad name", 1}));

  // No server: the line goes.
  ASSERT_TRUE(WriteServerChoice(fake.files, ServerChoice{}));
  EXPECT_EQ(Kept(fake), "none");

  // Other lines and line ends around it; a broken value or a file too long
  // to be ours names no server.
  WriteText(SettingsPath(fake), "# mine\r\nother=1\r\nserver=a.example:99\r\n");
  EXPECT_EQ(Kept(fake), "a.example:99");
  WriteText(SettingsPath(fake), "server=a.example:99999\n");
  EXPECT_EQ(Kept(fake), "none");
  WriteText(SettingsPath(fake), "server=a.example:99\n" + std::string(kSettingsFileMost, '#'));
  EXPECT_EQ(Kept(fake), "none");
}

TEST(ServerChoice, TheChannelSendsOnlyToTheChosenServer) {
  FakePlatform fake;
  Platform platform = fake;
  ServerChannel c;
  // Where the next request goes, as "address:port"; "" when nothing is sent.
  const auto sentTo = [&] {
    const size_t before = fake.udp.SentCount();
    SendServerRequest(c, platform, 3);
    if (fake.udp.SentCount() == before) return std::string();
    return fake.udp.LastSent().address + ":" + std::to_string(fake.udp.LastSent().port);
  };

  // Nothing chosen: nothing is sent, to loopback or anywhere.
  ReadServerSettings(c, platform);
  EXPECT_FALSE(ServerChosen(c));
  EXPECT_EQ(sentTo(), "");

  // The file's server, by its resolved address (the address its replies are
  // taken from is the channels test's and the server e2e tests').
  fake.udp.names["updates.example.org"] = "127.0.0.7";
  ASSERT_TRUE(WriteServerChoice(fake.files, ServerChoice{"updates.example.org", 4700}));
  ReadServerSettings(c, platform);
  EXPECT_EQ(c.serverFromEnvironment, 0);
  EXPECT_EQ(sentTo(), "127.0.0.7:4700");

  // TRELVAN_SERVER wins over the file.
  fake.settings.values["TRELVAN_SERVER"] = "127.0.0.3:4800";
  ReadServerSettings(c, platform);
  EXPECT_EQ(c.serverFromEnvironment, 1);
  EXPECT_EQ(sentTo(), "127.0.0.3:4800");

  // A name that does not resolve sends nothing; the next request asks the
  // name service again, and the resends of one request do not.
  fake.settings.values.clear();
  ChooseServer(c, ServerChoice{"later.example", 4608});
  EXPECT_EQ(sentTo(), "");
  const int asked = fake.udp.resolved;
  for (int i = 0; i < 250; ++i) ServerRetryTick(c, platform);
  EXPECT_EQ(fake.udp.resolved, asked);
  fake.udp.names["later.example"] = "127.0.0.9";
  EXPECT_EQ(sentTo(), "127.0.0.9:4608");

  // A new choice closes the channel: its receive thread never reads a
  // server while it changes, and the reachability is unknown again.
  c.serverReachable = 1;
  const int joined = fake.threads.joined;
  ChooseServer(c, ServerChoice{});
  EXPECT_EQ(c.socket, kNoSocket);
  EXPECT_EQ(fake.threads.joined, joined + 1);
  EXPECT_EQ(c.serverReachable, 0);
  EXPECT_EQ(sentTo(), "");
}

}  // namespace
}  // namespace trelvan
