// The server steps against the scripted server, and the two readers of
// downloaded lists on their own.
#include <gtest/gtest.h>

#include <string>

#include "net/scripted_server.h"
#include "net/server_steps.h"
#include "shell/steps.h"
#include "storage/text.h"

namespace trelvan {
namespace {

using testing::Bytes;
using testing::FileContent;
using testing::Pattern;
using testing::ScriptedServer;

// Texts joined by their zero bytes.
Bytes Texts(std::initializer_list<std::string> texts) {
  Bytes b;
  for (const std::string& t : texts) {
    b.insert(b.end(), t.begin(), t.end());
    b.push_back(0);
  }
  return b;
}

std::vector<std::string> Names(const char (*rows)[kTypeListNameCapacity], int n) {
  return std::vector<std::string>(rows, rows + n);
}

TEST(ServerLists, ListNamesBoundedByDataAndCapacity) {
  char rows[kListRowCapacity][kTypeListNameCapacity];
  const std::string longName(40, 'x');
  Bytes cut = Texts({"One", "Two"});
  cut.push_back('T');  // a last name without its zero
  struct Case {
    Bytes data;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {{}, {}},
      {Texts({"Steam", longName}), {"Steam", std::string(31, 'x')}},
      {cut, {"One", "Two", "T"}},
  };
  for (const Case& c : cases) {
    const uint16_t n = ReadListNames(c.data.data(), static_cast<uint32_t>(c.data.size()), rows, kListRowCapacity);
    EXPECT_EQ(Names(rows, n), c.rows);
  }
  Bytes many;
  for (int i = 0; i < 130; ++i) many.insert(many.end(), {'a', 0});
  EXPECT_EQ(ReadListNames(many.data(), static_cast<uint32_t>(many.size()), rows, kListRowCapacity), 100);
}

TEST(ServerLists, UpdateRecordForTheRevision) {
  std::vector<std::string> full;
  for (int i = 0; i < 32; ++i) full.push_back("F" + std::to_string(i));
  Bytes fullRecord = Texts({"2", "1.00"});
  for (const std::string& n : full) {
    const Bytes t = Texts({n});
    fullRecord.insert(fullRecord.end(), t.begin(), t.end());
  }
  const Bytes after = Texts({"1.23", "G", "End Of File Names"});  // no end mark after 32 names
  fullRecord.insert(fullRecord.end(), after.begin(), after.end());
  Bytes manyRecords = Texts({"300"});
  for (int i = 0; i < 101; ++i) {
    const Bytes r = Texts({std::to_string(i), "N" + std::to_string(i), "End Of File Names"});
    manyRecords.insert(manyRecords.end(), r.begin(), r.end());
  }
  struct Case {
    const char* what;
    Bytes data;
    const char* revision;
    bool found;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"the matching record", Texts({"2", "1.00", "A", "B", "End Of File Names", "1.23", "C", "End Of File Names"}),
       "1.23", true, {"C"}},
      {"the only record whatever the revision", Texts({"1", "0.90", "A", "B", "End Of File Names"}), "1.23",
       true, {"A", "B"}},
      {"no matching record", Texts({"2", "1.00", "A", "End Of File Names", "1.01", "B"}), "1.23", false, {}},
      {"shorter than it claims", Texts({"5", "1.00", "A"}), "1.23", false, {}},
      {"nothing after the count", Texts({"1"}), "1.23", false, {}},
      {"32 names without the end mark", fullRecord, "1.00", true, full},
      {"the record after them", fullRecord, "1.23", true, {"G"}},
      {"only 100 records read", manyRecords, "100", false, {}},
      {"the hundredth", manyRecords, "99", true, {"N99"}},
      {"empty", {}, "1.23", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UpdateRecord r;
    EXPECT_EQ(FindUpdateRecord(c.data.data(), static_cast<uint32_t>(c.data.size()), c.revision, r), c.found);
    if (c.found) {
      EXPECT_EQ(Names(r.names, r.nameCount), c.names);
    }
  }
}

// A server list button's rules for the selection, and what it asks for.
TEST(ServerLists, ServerButtonsClearTheSelectionByItsSource) {
  struct Case {
    uint8_t source, shownType, button;
    bool cleared, selectable;
    const char* name;
  };
  const Case cases[] = {
      {kFromStorage, kListStoragePictures, kListServerPictureCategories, true, false,
       "VH Pictures Categories List"},
      {kFromServer, kListServerPictures, kListServerSoundCategories, false, false, "VH Sounds Categories List"},
      {kFromServer, kListServerProductPrograms, kListServerLightEffects, true, true, "VH Light Effects List"},
      {kFromServer, kListServerProjects, kListServerProjects, false, true, "VH Projects List"},
      {kFromServer, kListServerProjects, kListServerProductPrograms, true, true, "VH Product Programs List"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MainLists lists{};
    TransferLists t{};
    AddToSelection(t, "Kept~");
    t.listSource = c.source;
    t.MainListType = c.shownType;
    lists.listRowCount = 5;
    ShowServerList(lists, t, c.button);
    EXPECT_EQ(t.selectionCount, c.cleared ? 0 : 1);
    EXPECT_STREQ(lists.serverListName, c.name);
    EXPECT_EQ(t.MainListType, c.button);
    EXPECT_EQ(t.listSource, kFromServer);
    EXPECT_EQ(t.downloadRequest, kDownloadList);
    EXPECT_EQ(lists.rowsSelectable, c.selectable ? 1 : 0);
    EXPECT_EQ(lists.listRowCount, 0);
  }
}

TEST(ServerLists, RowsOpenCategoriesSelectOnceAndOneProgram) {
  MainLists lists{};
  TransferLists t{};
  ShowServerList(lists, t, kListServerSoundCategories);
  t.downloadRequest = 0;
  lists.listRowCount = 2;
  CopyText("Whistles", lists.listRows[1], kTypeListNameCapacity);
  EXPECT_EQ(ClickListRow(lists, t, 1), kRowCategoryOpened);
  EXPECT_STREQ(lists.serverListName, "VH Whistles");
  EXPECT_EQ(t.MainListType, kListServerSounds);
  EXPECT_EQ(t.downloadRequest, kDownloadList);
  EXPECT_EQ(t.selectionCount, 0);

  lists.listRowCount = 2;
  lists.rowsSelectable = 1;
  EXPECT_EQ(ClickListRow(lists, t, 1), kRowSelected);
  EXPECT_EQ(ClickListRow(lists, t, 1), kRowIgnored);  // the same name twice is kept once
  EXPECT_EQ(t.selectionCount, 1);

  t.MainListType = kListServerProductPrograms;
  CopyText("Crane Rev 1.40", lists.listRows[0], kTypeListNameCapacity);
  EXPECT_EQ(ClickListRow(lists, t, 0), kRowSelected);
  EXPECT_EQ(ClickListRow(lists, t, 1), kRowSelected);
  EXPECT_EQ(t.selectionCount, 1);
  EXPECT_STREQ(t.selectionList[0].name, "Whistles");
}

// The scripted server, a transfer list and the steps, ticked as the main
// page's timer ticks them.
struct Steps : ScriptedServer {
  TransferLists t{};
  char revision[6] = "1.23";
  bool started = true;

  ServerStepContext Context() { return {*net, t, *storage, platform, revision, started}; }
  // Ticks until the steps rest at `step` with no request waiting, or a
  // message is left; the events seen on the way.
  uint8_t RunUntil(uint16_t step) {
    uint8_t events = 0;
    for (int i = 0; i < 5000; ++i) {
      Tick();
      events |= RunServerSteps(Context());
      if (net->message.pending || (net->serverStep == step && t.downloadRequest == 0)) break;
    }
    return events;
  }
  std::string Message() { return net->message.pending ? net->message.text : ""; }
  void Select(std::initializer_list<const char*> names) {
    for (const char* n : names) AddToSelection(t, n);
    t.listSource = kFromServer;
  }
};

TEST(ServerSteps, ConnectionTestAfterStartUp) {
  Steps s;
  s.started = false;
  s.files[kConnectionTestName] = FileContent(kConnectionTestName, {'o', 'k'});
  for (int i = 0; i < 5; ++i) RunServerSteps(s.Context());
  EXPECT_EQ(s.Sends(), 0);
  s.started = true;
  s.RunUntil(kServerIdle);
  EXPECT_EQ(s.Message(), "");
  EXPECT_EQ(s.net->server.serverReachable, 1);
  EXPECT_EQ(s.CountNamed(kConnectionTestName), 1);
}

TEST(ServerSteps, ElevenSendsThenCouldNotConnect) {
  Steps s;
  s.silent = true;
  s.Select({"Kept~"});
  s.RunUntil(kServerIdle);
  EXPECT_EQ(s.Sends(), 11);
  EXPECT_EQ(s.Message(), kCouldNotConnect);
  EXPECT_EQ(s.net->serverStep, kServerIdle);
  EXPECT_EQ(s.t.selectionCount, 0);
  EXPECT_EQ(s.net->server.serverReachable, 0);
}

TEST(ServerSteps, ListIntoRowsOrItsMessage) {
  struct Case {
    const char* what;
    bool served;
    bool full;
    std::string message;
  };
  const Case cases[] = {
      {"read", true, false, ""},
      {"not on the server", false, false, std::string(kCouldNotRead) + "VH Projects List"},
      {"no room", true, true, kNotEnoughStorage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Steps s;
    s.net->serverStep = kServerIdle;
    if (c.served) s.files["VH Projects List"] = FileContent("VH Projects List", Texts({"Crane", "Depot"}));
    if (c.full) s.storage->fs.header.freeBlocks = 0;
    CopyText("VH Projects List", s.net->lists.serverListName, kServerNameField);
    s.t.downloadRequest = kDownloadList;
    const uint8_t events = s.RunUntil(kServerIdle);
    EXPECT_EQ(s.Message(), c.message);
    EXPECT_EQ(events, c.message.empty() ? kServerListReady : kServerNoEvent);
    const std::vector<std::string> rows = c.message.empty() ? std::vector<std::string>{"Crane", "Depot"}
                                                            : std::vector<std::string>{};
    EXPECT_EQ(Names(s.net->lists.listRows, s.net->lists.listRowCount), rows);
  }
}

TEST(ServerSteps, FilesForTheHandheldSizesFirstThenDownloads) {
  Steps s;
  s.net->serverStep = kServerIdle;
  s.files["Alpha~"] = FileContent("Alpha~", Pattern(1000, 1));
  s.files["Beta~"] = FileContent("Beta~", Pattern(30, 2));
  s.Select({"Alpha~", "Beta~"});
  BuildSendList(s.t);
  s.t.transferActive = 1;
  s.t.downloadRequest = kDownloadFiles;
  // the totals wait until every size is known
  while (s.net->serverStep != kServerFileDownloads) {
    EXPECT_EQ(s.t.serverFilesReady, 0);
    s.Tick();
    RunServerSteps(s.Context());
  }
  EXPECT_EQ(s.t.serverFilesReady, 1);
  EXPECT_EQ(s.t.serverFileCount, 2);
  EXPECT_EQ(s.t.serverTotalBytes, s.files["Alpha~"].size() + s.files["Beta~"].size());
  EXPECT_STREQ(s.t.sendList[1].revision, "1.07");
  s.RunUntil(kServerWaitForHandheld);
  EXPECT_EQ(s.t.readyCount, 2);
  EXPECT_EQ(s.t.selectionList[0].progress, kStepDone);
  EXPECT_EQ(s.t.selectionList[1].progress, kStepDone);
  EXPECT_EQ(s.Stored("Alpha~"), s.files["Alpha~"]);
  EXPECT_EQ(s.Stored("Beta~"), s.files["Beta~"]);
  s.t.transferActive = 0;
  s.RunUntil(kServerIdle);
  EXPECT_EQ(s.net->serverStep, kServerIdle);
}

TEST(ServerSteps, ProductProgramUpdateForTheRevision) {
  const Bytes list = Texts({"2", "1.00", "Old A", "End Of File Names", "1.23", "New A", "New B",
                            "End Of File Names"});
  struct Case {
    const char* what;
    Bytes list;
    std::string message;
    std::vector<std::string> fetched;
  };
  const Case cases[] = {
      {"the revision's record", list, "", {"New A", "New B"}},
      {"no record for it", Texts({"2", "1.00", "Old A", "End Of File Names", "1.01", "Old B"}),
       kRevisionNotFound, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Steps s;
    s.net->serverStep = kServerIdle;
    s.files["VH Crane Update List"] = FileContent("VH Crane Update List", c.list);
    for (const char* n : {"Old A", "Old B", "New A", "New B"}) s.files[n] = FileContent(n, Pattern(500, 7));
    s.Select({"Crane Rev 1.40"});
    s.t.MainListType = kListServerProductPrograms;
    BuildSendList(s.t);
    s.t.transferActive = 1;
    s.t.downloadRequest = kDownloadUpdateList;
    s.RunUntil(kServerWaitForHandheld);
    EXPECT_EQ(s.Message(), c.message);
    std::vector<std::string> stored;
    for (const char* n : {"Old A", "Old B", "New A", "New B"}) {
      if (s.CountNamed(n)) stored.push_back(n);
    }
    EXPECT_EQ(stored, c.fetched);
    EXPECT_EQ(s.t.readyCount, c.fetched.size());
    if (c.fetched.empty()) continue;
    EXPECT_STREQ(s.t.sendList[1].name, "New B");
    EXPECT_STREQ(s.t.selectionList[0].name, "Crane Rev 1.40");
    EXPECT_STREQ(s.t.selectionList[1].name, "File 1");
    EXPECT_EQ(s.t.selectionCount, 2);
  }
}

}  // namespace
}  // namespace trelvan
