// The request and reply golden sessions: each file of golden/*.session sets
// up a storage and transfer lists, then sends requests and compares the
// replies and the transfer state.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "link/handheld_protocol.h"
#include "storage/file_system.h"
#include "storage/whole_file.h"
#include "../storage/storage_fixture.h"

namespace trelvan {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::ReadHostFile;

// Hex bytes, XX*N (the byte XX N times), "text" (without spaces), u16:N,
// u32:N, and sum (the low byte of the sum so far).
Bytes ParseBytes(const std::string& line) {
  Bytes out;
  std::istringstream words(line);
  for (std::string w; words >> w;) {
    if (w[0] == '"') {
      if (w.size() < 2 || w.back() != '"') ADD_FAILURE() << "a text with a space: " << line;
      else out.insert(out.end(), w.begin() + 1, w.end() - 1);
    } else if (w == "sum") {
      uint8_t s = 0;
      for (uint8_t b : out) s = static_cast<uint8_t>(s + b);
      out.push_back(s);
    } else if (w.rfind("u16:", 0) == 0 || w.rfind("u32:", 0) == 0) {
      const unsigned long v = std::stoul(w.substr(4));
      for (int k = 0; k < (w[1] == '1' ? 2 : 4); ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
    } else {
      const Bytes hex = testing::HexBytes(w);
      out.insert(out.end(), hex.begin(), hex.end());
    }
  }
  return out;
}

void RunSession(const std::string& folder, const std::string& file) {
  FakePlatform platform;
  std::unique_ptr<Storage> s = testing::MakeFormattedStorage(platform.files);
  TransferLists t{};
  HandheldTransfer h{};
  bool onMainPage = true;
  std::ifstream in(folder + "/" + file);
  std::string line;
  int number = 0;
  uint32_t replyLength = 0;
  unsigned long repeat = 1;
  while (std::getline(in, line)) {
    ++number;
    SCOPED_TRACE(file + ":" + std::to_string(number) + ": " + line);
    if (line.empty() || line[0] == '#') continue;
    const size_t space = line.find(' ');
    const std::string word = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    if (word == "store") {
      const Bytes content = ReadHostFile(folder + "/" + rest);
      ASSERT_EQ(testing::WriteWholeFile(*s, content), kStorageAccepted);
    } else if (word == "fill") {  // fill NAME SIZE XX: a file of SIZE bytes, its data all XX
      std::istringstream f(rest);
      std::string name, byte;
      uint32_t size = 0;
      f >> name >> size >> byte;
      std::vector<uint8_t> content = testing::FileContent(name, {});
      content.resize(size, static_cast<uint8_t>(std::stoul(byte, nullptr, 16)));
      ASSERT_EQ(testing::WriteWholeFile(*s, content), kStorageAccepted);
    } else if (word == "repeat") {  // the next request goes N times
      repeat = std::stoul(rest);
    } else if (word == "select") {
      AddToSelection(t, rest.c_str());
    } else if (word == "source") {
      t.listSource = rest == "server" ? kFromServer : kFromStorage;
    } else if (word == "list") {
      t.MainListType = static_cast<uint8_t>(std::stoi(rest));
    } else if (word == "page") {
      onMainPage = rest == "main";
    } else if (word == ">" || word == ">!") {
      Bytes request = ParseBytes(rest);
      if (word == ">") request = ParseBytes(rest + " sum");
      for (; repeat > 0; --repeat) {
        replyLength = ProcessHandheldPacket(h, t, *s, onMainPage, request.data(),
                                            static_cast<uint32_t>(request.size()));
      }
      repeat = 1;
    } else if (word == "<") {
      EXPECT_EQ(Bytes(h.reply, h.reply + replyLength), ParseBytes(rest));
    } else if (word == "expect") {
      std::istringstream e(rest);
      std::string what, value;
      e >> what;
      std::getline(e >> std::ws, value);
      if (what == "transferActive") EXPECT_EQ(t.transferActive, std::stoul(value));
      else if (what == "bytesRemaining") EXPECT_EQ(h.bytesRemaining, std::stoul(value));
      else if (what == "packetCount") EXPECT_EQ(h.packetCount, std::stoul(value));
      else if (what == "overrun") EXPECT_EQ(h.replyOverRun, std::stoul(value));
      else if (what == "downloadRequest") EXPECT_EQ(t.downloadRequest, std::stoul(value));
      else if (what == "revision") EXPECT_STREQ(h.handheldRevision, value.c_str());
      else if (what == "sendList0") EXPECT_STREQ(t.sendList[0].name, value.c_str());
      else if (what == "consistent") EXPECT_TRUE(testing::ImageIsConsistent(*s));
      else if (what == "stored") {  // stored NAME COUNT: how many files of that name
        const size_t space = value.rfind(' ');
        EXPECT_EQ(testing::CountStored(*s, value.substr(0, space).c_str()), std::stoi(value.substr(space + 1)));
      } else if (what == "content") {
        const size_t at = value.find(' ');
        const Bytes want = ReadHostFile(folder + "/" + value.substr(at + 1));
        EXPECT_EQ(testing::StoredContent(*s, static_cast<uint16_t>(std::stoi(value))), want);
      } else {
        ADD_FAILURE() << "unknown expectation " << what;
      }
    } else {
      ADD_FAILURE() << "unknown line";
    }
  }
  EXPECT_GT(number, 0) << "empty session " << file;
}

TEST(HandheldProtocol, GoldenSessions) {
  int sessions = 0;
  for (const auto& e : std::filesystem::directory_iterator(TRELVAN_LINK_GOLDEN)) {
    if (e.path().extension() != ".session") continue;
    RunSession(TRELVAN_LINK_GOLDEN, e.path().filename().string());
    ++sessions;
  }
  EXPECT_EQ(sessions, 4);
}

}  // namespace
}  // namespace trelvan
