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

TEST(ServerChoice, NamesAndPortsTaken) {
  const struct { const char* text; bool taken; } cases[] = {
      {"updates.example.org:4608", true}, {"Trains-2.example:1", true}, {"localhost:65535", true},
      {"127.1.2.3:4608", true},            {"x:0", false},               {"x:65536", false},
      {"x:", false},                      {":4608", false},             {"x", false},
      {"-x.org:1", false},                {"x-.org:1", false},          {"a..b:1", false},
      {"a.b.:1", false},                  {".a:1", false},              {"host_name:1", false},
      {"a b:1", false},                   {"127.0.0.300:1", false},       {"1.2.3:1", false},
      {"127.0.0.1.5:1", false},             {"x:46o8", false},
  };
  for (const auto& c : cases) {
    ServerChoice choice{};
    EXPECT_EQ(ParseServerChoice(c.text, choice), c.taken) << c.text;
    if (!c.taken) {
      EXPECT_EQ(choice.name[0], 0) << c.text;
    }
  }
  // the longest name the field holds, and one more
  const std::string longest(kServerNameCapacity - 1, 'a');
  EXPECT_TRUE(ValidServerName(longest.c_str()));
  ServerChoice choice{};
  EXPECT_FALSE(ParseServerChoice((longest + "a:1").c_str(), choice));
}

TEST(ServerChoice, KeptInTheSettingsFile) {
  FakePlatform fake;
  ServerChoice read{};
  EXPECT_FALSE(ReadServerChoice(fake.files, read));  // no file: no server

  const ServerChoice chosen{"updates.example.org", 4700};
  ASSERT_TRUE(WriteServerChoice(fake.files, chosen));
  EXPECT_EQ(ReadText(SettingsPath(fake)), "server=updates.example.org:4700\n");
  ASSERT_TRUE(ReadServerChoice(fake.files, read));
  EXPECT_STREQ(read.name, "updates.example.org");
  EXPECT_EQ(read.port, 4700);

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
  EXPECT_FALSE(ReadServerChoice(fake.files, read));
  EXPECT_EQ(read.name[0], 0);

  // Other lines and line ends around it; a broken value or a file too long
  // to be ours names no server.
  WriteText(SettingsPath(fake), "# mine\r\nother=1\r\nserver=a.example:99\r\n");
  ASSERT_TRUE(ReadServerChoice(fake.files, read));
  EXPECT_STREQ(read.name, "a.example");
  EXPECT_EQ(read.port, 99);
  WriteText(SettingsPath(fake), "server=a.example:99999\n");
  EXPECT_FALSE(ReadServerChoice(fake.files, read));
  WriteText(SettingsPath(fake), "server=a.example:99\n" + std::string(kSettingsFileMost, '#'));
  EXPECT_FALSE(ReadServerChoice(fake.files, read));
}

TEST(ServerChoice, TheChannelSendsOnlyToTheChosenServer) {
  FakePlatform fake;
  Platform platform = fake;
  ServerChannel c;

  // Nothing chosen: nothing is sent, to loopback or anywhere.
  ReadServerSettings(c, platform);
  EXPECT_FALSE(ServerChosen(c));
  SendServerRequest(c, platform, 3);
  EXPECT_EQ(fake.udp.SentCount(), 0u);

  // The file's server, by its resolved address.
  fake.udp.names["updates.example.org"] = "127.0.0.7";
  ASSERT_TRUE(WriteServerChoice(fake.files, ServerChoice{"updates.example.org", 4700}));
  ReadServerSettings(c, platform);
  EXPECT_EQ(c.serverFromEnvironment, 0);
  SendServerRequest(c, platform, 3);
  ASSERT_EQ(fake.udp.SentCount(), 1u);
  EXPECT_EQ(fake.udp.LastSent().address, "127.0.0.7");
  EXPECT_EQ(fake.udp.LastSent().port, 4700);
  EXPECT_EQ(c.serverIpv4, 0x7F000007u);

  // TRELVAN_SERVER wins over the file.
  fake.settings.values["TRELVAN_SERVER"] = "127.0.0.3:4800";
  ReadServerSettings(c, platform);
  EXPECT_EQ(c.serverFromEnvironment, 1);
  SendServerRequest(c, platform, 3);
  EXPECT_EQ(fake.udp.LastSent().address, "127.0.0.3");
  EXPECT_EQ(fake.udp.LastSent().port, 4800);

  // A name that does not resolve sends nothing; the next request asks the
  // name service again, and the resends of one request do not.
  fake.settings.values.clear();
  ChooseServer(c, ServerChoice{"later.example", 4608});
  const size_t sent = fake.udp.SentCount();
  SendServerRequest(c, platform, 3);
  EXPECT_EQ(fake.udp.SentCount(), sent);
  const int asked = fake.udp.resolved;
  for (int i = 0; i < 250; ++i) ServerRetryTick(c, platform);
  EXPECT_EQ(fake.udp.resolved, asked);
  fake.udp.names["later.example"] = "127.0.0.9";
  SendServerRequest(c, platform, 3);
  ASSERT_EQ(fake.udp.SentCount(), sent + 1);
  EXPECT_EQ(fake.udp.LastSent().address, "127.0.0.9");

  // A new choice closes the channel: its receive thread never reads a
  // server while it changes, and the reachability is unknown again.
  c.serverReachable = 1;
  const int joined = fake.threads.joined;
  ChooseServer(c, ServerChoice{});
  EXPECT_EQ(c.socket, kNoSocket);
  EXPECT_EQ(fake.threads.joined, joined + 1);
  EXPECT_EQ(c.serverReachable, 0);
  SendServerRequest(c, platform, 3);
  EXPECT_EQ(fake.udp.SentCount(), sent + 1);
}

}  // namespace
}  // namespace trelvan
