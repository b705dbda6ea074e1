// Downloads from the scripted server into a formatted storage: chunking,
// replacement, the buffer's limit, refused replies and the mended faults.
#include <gtest/gtest.h>

#include "net/downloads.h"
#include "net/scripted_server.h"
#include "storage/steps.h"

namespace trelvan {
namespace {

using testing::Bytes;
using testing::CountStored;
using testing::FileContent;
using testing::Pattern;
using testing::ScriptedServer;
using testing::StoredFile;

// A storage file of exactly `size` bytes, header included.
Bytes FileOfSize(const char* name, uint32_t size, uint32_t seed = 1) {
  return FileContent(name, Pattern(size - static_cast<uint32_t>(FileContent(name, {}).size()), seed));
}

// The reply's content with `drop` bytes fewer, `extra` bytes more, sealed
// again for `sequenceShift` requests earlier.
void Reseal(Bytes& r, size_t drop, size_t extra, int sequenceShift) {
  const uint16_t sequence = static_cast<uint16_t>(ReadU16LE(&r[r.size() - 4]) - sequenceShift);
  r.resize(r.size() - 4 - drop);
  r.insert(r.end(), extra, 0xEE);
  testing::Seal(r, sequence);
}

// Every size in chunks of at most 400; the stored file of the name replaced
// and the other files kept; an empty file done at once with nothing stored.
TEST(Downloads, ChunksOfAtMost400ReplaceTheStoredFile) {
  for (const uint32_t size : {0u, 400u, 401u, 1300u, uint32_t{kDownloadBufferCapacity}}) {
    SCOPED_TRACE(size);
    ScriptedServer s;
    ASSERT_EQ(testing::StoreNamedFile(*s.storage, "Alpha~", Pattern(900, 3)), kStorageAccepted);
    ASSERT_EQ(testing::StoreNamedFile(*s.storage, "Other~", Pattern(50, 4)), kStorageAccepted);
    s.files["Alpha~"] = size ? FileOfSize("Alpha~", size, size) : Bytes{};
    EXPECT_EQ(s.Download("Alpha~"), kStepDone);
    std::vector<uint16_t> counts(size / 400, 400);
    if (size % 400) counts.push_back(size % 400);
    EXPECT_EQ(s.dataCounts, counts);
    EXPECT_EQ(s.storage->fs.header.fileCount, 2);
    EXPECT_EQ(StoredFile(*s.storage, "Alpha~"), size ? s.files["Alpha~"] : FileContent("Alpha~", Pattern(900, 3)));
    EXPECT_EQ(StoredFile(*s.storage, "Other~"), FileContent("Other~", Pattern(50, 4)));
    EXPECT_TRUE(s.fake.window.messages.empty());
  }
}

// Each way a download fails, and the storage as it was afterwards. A server
// that never answers failing in the end is the server e2e tests' and the
// setup page test's.
TEST(Downloads, FailuresLeaveTheStorageAsItWas) {
  struct Case {
    const char* what;
    std::function<void(ScriptedServer&)> arrange;
    uint8_t failure;
    bool dataAsked;
  };
  const Case cases[] = {
      {"unknown", [](ScriptedServer& s) { s.files.clear(); }, kDownloadNotRead, false},
      {"fewer bytes than asked",
       [](ScriptedServer& s) { s.tamper = [](Bytes& r, int n) { if (n == 1) Reseal(r, 1, 0, 0); }; },
       kDownloadNotRead, true},
      {"no storage file", [](ScriptedServer& s) { s.files["Alpha~"] = Pattern(700, 5); }, kDownloadWrongFile,
       true},
      {"a header cut short", [](ScriptedServer& s) { s.files["Alpha~"].resize(8); }, kDownloadWrongFile, true},
      {"a file of another name", [](ScriptedServer& s) { s.files["Alpha~"] = FileOfSize("Other~", 1000); },
       kDownloadWrongFile, true},
      {"over 4 MB", [](ScriptedServer& s) { s.claimedSize["Alpha~"] = kDownloadBufferCapacity + 1; },
       kDownloadTooBig, false},
      {"a full storage", [](ScriptedServer& s) { s.storage->fs.header.freeBlocks = 0; }, kDownloadNoStorage,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedServer s;
    ASSERT_EQ(testing::StoreNamedFile(*s.storage, "Alpha~", Pattern(300, 6)), kStorageAccepted);
    const Bytes old = StoredFile(*s.storage, "Alpha~");
    s.files["Alpha~"] = FileOfSize("Alpha~", 1000);
    c.arrange(s);
    EXPECT_EQ(s.Download("Alpha~"), kStepFailed);
    EXPECT_EQ(s.net->download.failure, c.failure);
    EXPECT_EQ(CountStored(*s.storage, "Alpha~"), 1);
    EXPECT_EQ(CountStored(*s.storage, "Other~"), 0);
    EXPECT_EQ(StoredFile(*s.storage, "Alpha~"), old);
    EXPECT_EQ(s.fake.window.messages,
              std::vector<std::string>(c.failure == kDownloadTooBig ? 1 : 0, kReceivedFileTooBig));
    EXPECT_EQ(!s.dataCounts.empty(), c.dataAsked);
  }
}

// Bytes beyond the asked count, a reply to an older request and a reply
// whose sum fails never land; the resend a second later brings the right one.
TEST(Downloads, OnlyTheAskedBytesOfAnAcceptedReplyLand) {
  const std::pair<const char*, std::function<void(Bytes&)>> cases[] = {
      {"extra bytes", [](Bytes& r) { Reseal(r, 0, 30, 0); }},
      {"stale sequence", [](Bytes& r) { std::fill(r.begin() + 2, r.end() - 4, 0x55); Reseal(r, 0, 0, 1); }},
      {"bad checksum", [](Bytes& r) { std::fill(r.begin() + 2, r.end() - 4, 0x55); r.back() ^= 0x40; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    ScriptedServer s;
    s.files["Alpha~"] = FileOfSize("Alpha~", 900, 2);
    s.tamper = [&c](Bytes& r, int n) { if (n == 2) c.second(r); };
    EXPECT_EQ(s.Download("Alpha~"), kStepDone);
    EXPECT_EQ(StoredFile(*s.storage, "Alpha~"), s.files["Alpha~"]);
    EXPECT_EQ(s.Sends(), c.first[0] == 'e' ? 4 : 5);  // information, three chunks, a resend
  }
}

}  // namespace
}  // namespace trelvan
