// Downloads from the scripted server into a formatted storage: chunking,
// replacement, the buffer's limit, refused replies and the mended faults.
#include <gtest/gtest.h>

#include "net/downloads.h"
#include "net/scripted_server.h"
#include "shell/steps.h"

namespace trelvan {
namespace {

using testing::Bytes;
using testing::FileContent;
using testing::Pattern;
using testing::ScriptedServer;

// A storage file of exactly `size` bytes, header included.
Bytes FileOfSize(const char* name, uint32_t size, uint32_t seed = 1) {
  const Bytes header = FileContent(name, {});
  return FileContent(name, Pattern(size - static_cast<uint32_t>(header.size()), seed));
}

TEST(Downloads, ChunksOfAtMost400AndTheWholeFileStored) {
  struct Case {
    uint32_t size;
    std::vector<uint16_t> counts;
  };
  const Case cases[] = {{400, {400}}, {401, {400, 1}}, {1300, {400, 400, 400, 100}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    ScriptedServer s;
    s.files["Alpha~"] = FileOfSize("Alpha~", c.size);
    EXPECT_EQ(s.Download("Alpha~"), kStepDone);
    EXPECT_EQ(s.dataCounts, c.counts);
    EXPECT_EQ(s.Stored("Alpha~"), s.files["Alpha~"]);
    EXPECT_STREQ(s.net->download.revision, "1.07");
  }
}

TEST(Downloads, ProgressClimbsBelow100UntilStored) {
  ScriptedServer s;
  s.files["Big~"] = FileOfSize("Big~", 4000);
  int r = DownloadServerFile(*s.net, *s.storage, s.platform, 1, "Big~");
  std::vector<int> seen;
  while (r < 100) {
    s.Tick();
    r = DownloadServerFile(*s.net, *s.storage, s.platform, 0, nullptr);
    if (seen.empty() || seen.back() != r) seen.push_back(r);
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, kStepDone}));
}

TEST(Downloads, EmptyFileDoneAtOnceStoringNothing) {
  ScriptedServer s;
  s.files["Empty"] = {};
  const uint16_t before = s.storage->fs.header.fileCount;
  EXPECT_EQ(s.Download("Empty"), kStepDone);
  EXPECT_TRUE(s.dataCounts.empty());
  EXPECT_EQ(s.storage->fs.header.fileCount, before);
}

TEST(Downloads, NewDownloadReplacesTheStoredFileAfterStoringIt) {
  ScriptedServer s;
  ASSERT_EQ(testing::StoreNamedFile(*s.storage, "Alpha~", Pattern(900, 3)), kStorageAccepted);
  ASSERT_EQ(testing::StoreNamedFile(*s.storage, "Other~", Pattern(50, 4)), kStorageAccepted);
  s.files["Alpha~"] = FileOfSize("Alpha~", 5000, 9);
  EXPECT_EQ(s.Download("Alpha~"), kStepDone);
  EXPECT_EQ(s.CountNamed("Alpha~"), 1);
  EXPECT_EQ(s.Stored("Alpha~"), s.files["Alpha~"]);
  EXPECT_EQ(s.Stored("Other~"), FileContent("Other~", Pattern(50, 4)));
}

// Each way a download fails, and the storage as it was afterwards.
TEST(Downloads, FailuresLeaveTheStorageAsItWas) {
  struct Case {
    const char* what;
    std::function<void(ScriptedServer&)> arrange;
    uint8_t failure;
    const char* box;
    bool dataAsked;
  };
  const Case cases[] = {
      {"unknown to the server", [](ScriptedServer& s) { s.files.clear(); }, kDownloadNotRead, nullptr, false},
      {"no answer", [](ScriptedServer& s) { s.silent = true; }, kDownloadNotRead, nullptr, false},
      {"a data reply shorter than asked",
       [](ScriptedServer& s) {
         s.tamper = [](Bytes& r, int n) {
           if (n != 1) return;
           r.erase(r.end() - 5);  // one data byte less, trailer made good again
           const uint16_t sum = Sum16(r.data(), static_cast<uint32_t>(r.size() - 2));
           r[r.size() - 2] = static_cast<uint8_t>(sum);
           r[r.size() - 1] = static_cast<uint8_t>(sum >> 8);
         };
       },
       kDownloadNotRead, nullptr, true},
      {"bytes that are no storage file",
       [](ScriptedServer& s) { s.files["Alpha~"] = Pattern(700, 5); }, kDownloadNotRead, nullptr, true},
      {"a header cut short", [](ScriptedServer& s) { s.files["Alpha~"].resize(8); }, kDownloadNotRead,
       nullptr, true},
      {"over the download buffer",
       [](ScriptedServer& s) { s.claimedSize["Alpha~"] = kDownloadBufferCapacity + 1; }, kDownloadTooBig,
       kReceivedFileTooBig, false},
      {"a full storage", [](ScriptedServer& s) { s.storage->fs.header.freeBlocks = 0; },
       kDownloadNoStorage, nullptr, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedServer s;
    ASSERT_EQ(testing::StoreNamedFile(*s.storage, "Alpha~", Pattern(300, 6)), kStorageAccepted);
    const Bytes old = s.Stored("Alpha~");
    s.files["Alpha~"] = FileOfSize("Alpha~", 1000);
    c.arrange(s);
    EXPECT_EQ(s.Download("Alpha~"), kStepFailed);
    EXPECT_EQ(s.net->download.failure, c.failure);
    EXPECT_EQ(s.CountNamed("Alpha~"), 1);
    EXPECT_EQ(s.Stored("Alpha~"), old);
    EXPECT_EQ(s.fake.window.messages, c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
    EXPECT_EQ(!s.dataCounts.empty(), c.dataAsked);
  }
}

TEST(Downloads, AFileOfExactlyTheBufferIsTaken) {
  ScriptedServer s;
  s.files["Whole~"] = FileOfSize("Whole~", kDownloadBufferCapacity, 4);
  EXPECT_EQ(s.Download("Whole~"), kStepDone);
  EXPECT_EQ(s.dataCounts.size(), kDownloadBufferCapacity / kServerChunkLimit + 1);
  EXPECT_EQ(s.Stored("Whole~"), s.files["Whole~"]);
  EXPECT_TRUE(s.fake.window.messages.empty());
}

TEST(Downloads, ExtraBytesInADataReplyAreNeverStored) {
  ScriptedServer s;
  s.files["Alpha~"] = FileOfSize("Alpha~", 450);
  s.tamper = [](Bytes& r, int n) {
    if (n == 0) return;
    Bytes trailer(r.end() - 4, r.end());
    r.resize(r.size() - 4);
    r.insert(r.end(), 30, 0xEE);
    r.insert(r.end(), trailer.begin(), trailer.begin() + 2);
    const uint16_t sum = Sum16(r.data(), static_cast<uint32_t>(r.size()));
    r.push_back(static_cast<uint8_t>(sum));
    r.push_back(static_cast<uint8_t>(sum >> 8));
  };
  EXPECT_EQ(s.Download("Alpha~"), kStepDone);
  EXPECT_EQ(s.Stored("Alpha~"), s.files["Alpha~"]);
}

// A reply answering an older request, or whose sum fails, is never taken:
// the resend a second later brings the right one.
TEST(Downloads, StaleOrCorruptRepliesAreNeverAccepted) {
  for (const bool stale : {true, false}) {
    SCOPED_TRACE(stale ? "stale sequence" : "bad checksum");
    ScriptedServer s;
    s.files["Alpha~"] = FileOfSize("Alpha~", 900, 2);
    s.tamper = [stale](Bytes& r, int n) {
      if (n != 2) return;
      for (size_t i = 2; i + 4 < r.size(); ++i) r[i] = 0x55;  // content that must not land
      if (stale) {
        r[r.size() - 4] = static_cast<uint8_t>(r[r.size() - 4] - 1);
        const uint16_t sum = Sum16(r.data(), static_cast<uint32_t>(r.size() - 2));
        r[r.size() - 2] = static_cast<uint8_t>(sum);
        r[r.size() - 1] = static_cast<uint8_t>(sum >> 8);
      } else {
        r[r.size() - 1] ^= 0x40;
      }
    };
    EXPECT_EQ(s.Download("Alpha~"), kStepDone);
    EXPECT_EQ(s.Stored("Alpha~"), s.files["Alpha~"]);
    EXPECT_EQ(s.Sends(), 5);  // information, three chunks, one resend
  }
}

}  // namespace
}  // namespace trelvan
