// The server steps against the scripted server, the main page's server
// list rules, and the two readers of downloaded lists on their own. The
// connection test after the start and the files for the handheld (sizes,
// downloads, the ready count growing one file at a time) are the server
// e2e tests'.
#include <gtest/gtest.h>

#include <string>

#include "net/scripted_server.h"
#include "net/server_steps.h"
#include "storage/steps.h"
#include "storage/text.h"

namespace trelvan {
namespace {

using testing::Bytes;
using testing::CountStored;
using testing::FileContent;
using Names = std::vector<std::string>;

// Texts joined by their zero bytes.
Bytes Texts(const Names& texts) {
  std::string joined;
  for (const std::string& t : texts) joined += t + '\0';
  return Bytes(joined.begin(), joined.end());
}

Names Rows(const char (*rows)[kTypeListNameCapacity], int n) { return Names(rows, rows + n); }

TEST(ServerLists, ListNamesBoundedByDataAndCapacity) {
  char rows[kListRowCapacity][kTypeListNameCapacity];
  Bytes cut = Texts({"One", std::string(40, 'x')});
  cut.push_back('T');  // a last name without its zero
  EXPECT_EQ(Rows(rows, ReadListNames(cut.data(), static_cast<uint32_t>(cut.size()), rows, kListRowCapacity)),
            (Names{"One", std::string(31, 'x'), "T"}));
  const Bytes many = Texts(Names(130, "a"));
  EXPECT_EQ(ReadListNames(many.data(), static_cast<uint32_t>(many.size()), rows, kListRowCapacity), 100);
}

TEST(ServerLists, UpdateRecordForTheRevision) {
  Names full;
  for (int i = 0; i < 32; ++i) full.push_back("F" + std::to_string(i));
  Names fullList = {"2", "1.00"};
  fullList.insert(fullList.end(), full.begin(), full.end());
  fullList.insert(fullList.end(), {"1.23", "G", "End Of File Names"});  // 32 names, no end mark
  Names many = {"300"};
  for (int i = 0; i < 101; ++i) many.insert(many.end(), {std::to_string(i), "N" + std::to_string(i), "End Of File Names"});
  // names: none when no record is taken
  const struct { Names list; const char* revision; Names names; } cases[] = {
      {{"2", "1.00", "A", "B", "End Of File Names", "1.23", "C", "End Of File Names"}, "1.23", {"C"}},
      {{"1", "0.90", "A", "B", "End Of File Names"}, "1.23", {"A", "B"}},  // the only record
      {{"2", "1.00", "A", "End Of File Names", "1.01", "B"}, "1.23", {}},
      {{"5", "1.00", "A"}, "1.23", {}},  // shorter than it claims
      {{"1"}, "1.23", {}},
      {fullList, "1.00", full},
      {fullList, "1.23", {"G"}},
      {many, "99", {"N99"}},
      {many, "100", {}},  // only 100 records are read
  };
  for (const auto& c : cases) {
    const Bytes data = Texts(c.list);
    UpdateRecord r;
    const bool found = FindUpdateRecord(data.data(), static_cast<uint32_t>(data.size()), c.revision, r);
    EXPECT_EQ(found ? Names(r.names, r.names + r.nameCount) : Names{}, c.names) << c.list[0] << c.revision;
  }
}

// A server list of another kind keeps a selection from the server, except
// to or from the product programs; a program chosen from its list replaces
// the selection. A storage selection cleared by a server list is
// main_page_lists.run's, a category row opening its list and a row chosen
// once main_page_server.run's, each list asked for and fetched by its name
// ListIntoRowsOrItsMessage's and the server e2e tests'.
TEST(ServerLists, ServerListsAndProgramsReplaceTheSelection) {
  const struct { uint8_t shownType, button; bool cleared; } cases[] = {
      {kListServerPictures, kListServerSoundCategories, false},
      {kListServerProductPrograms, kListServerLightEffects, true},
      {kListServerProjects, kListServerProductPrograms, true},
  };
  for (const auto& c : cases) {
    MainLists lists{};
    TransferLists t{};
    AddToSelection(t, "Kept~");
    t.listSource = kFromServer;
    t.MainListType = c.shownType;
    ShowServerList(lists, t, c.button);
    EXPECT_EQ(t.selectionCount, c.cleared ? 0 : 1) << int{c.button};
  }
  MainLists lists{};
  TransferLists t{};
  AddToSelection(t, "Whistle~");
  lists.listRowCount = 1;
  lists.rowsSelectable = 1;
  t.MainListType = kListServerProductPrograms;
  CopyText("Crane Rev 1.40", lists.listRows[0], kTypeListNameCapacity);
  EXPECT_EQ(ClickListRow(lists, t, 0), kRowSelected);
  EXPECT_EQ(t.selectionCount, 1);
  EXPECT_STREQ(t.selectionList[0].name, lists.listRows[0]);
}

// The scripted server, a transfer list and the steps, ticked as the main
// page's timer ticks them.
struct Steps : testing::ScriptedServer {
  TransferLists t{};
  char revision[6] = "1.23";

  ServerStepContext Context() { return {*net, t, *storage, platform, revision, true}; }
  // Ticks until the steps rest at `step` with no request waiting, or a
  // message is left; the events seen on the way.
  uint8_t RunUntil(ServerSteps step) {
    uint8_t events = 0;
    for (int i = 0; i < 5000; ++i) {
      Tick();
      events |= RunServerSteps(Context());
      if (net->message.pending || net->message.held || (net->serverStep == step && t.downloadRequest == 0)) break;
    }
    return events;
  }
  std::string Message() { return net->message.pending ? net->message.text : ""; }
  void Announced(const Names& selected, uint8_t listType, uint16_t request) {
    for (const std::string& n : selected) AddToSelection(t, n.c_str());
    t.listSource = kFromServer;
    t.MainListType = listType;
    BuildSendList(t);
    t.transferActive = 1;
    t.downloadRequest = request;
    net->serverStep = kServerIdle;
  }
};

TEST(ServerSteps, ListIntoRowsOrItsMessage) {
  // servedName: the name in the served file's header
  const struct { bool served, full; const char* servedName; std::string message; } cases[] = {
      {true, false, "VH Projects List", ""},
      {false, false, "VH Projects List", std::string(kCouldNotRead) + "VH Projects List"},
      {true, true, "VH Projects List", kNotEnoughStorage},
      // the server answered, with another file: said as such, not as no answer
      {true, false, "VH Other List", std::string(kNotTheFileAsked) + "VH Projects List"},
  };
  for (const auto& c : cases) {
    Steps s;
    s.net->serverStep = kServerIdle;
    if (c.served) s.files["VH Projects List"] = FileContent(c.servedName, Texts({"Crane", "Depot"}));
    if (c.full) s.storage->fs.header.freeBlocks = 0;
    ShowServerList(s.net->lists, s.t, kListServerProjects);
    const uint8_t events = s.RunUntil(kServerIdle);
    EXPECT_EQ(s.Message(), c.message);
    EXPECT_EQ(events, c.message.empty() ? kServerListReady : kServerNoEvent);
    const Names rows = c.message.empty() ? Names{"Crane", "Depot"} : Names{};
    EXPECT_EQ(Rows(s.net->lists.listRows, s.net->lists.listRowCount), rows);
  }
}

// An update list without the handheld's revision fetches nothing and says
// so once the transfer ends; the files of a revision found are the server
// e2e test's.
TEST(ServerSteps, ProductProgramUpdateWithoutTheRevision) {
  Steps s;
  s.files["VH Crane Update List"] = FileContent(
      "VH Crane Update List", Texts({"2", "1.00", "Old A", "End Of File Names", "1.01", "Old B"}));
  for (const char* n : {"Old A", "Old B"}) s.files[n] = FileContent(n, testing::Pattern(500, 7));
  s.Announced({"Crane Rev 1.40"}, kListServerProductPrograms, kDownloadUpdateList);
  s.RunUntil(kServerWaitForHandheld);
  s.t.transferActive = 0;  // a message waits for the transfer's end
  RunServerSteps(s.Context());
  EXPECT_EQ(s.Message(), kRevisionNotFound);
  EXPECT_EQ(CountStored(*s.storage, "Old A") + CountStored(*s.storage, "Old B"), 0);
  EXPECT_EQ(s.t.readyCount, 0);
}

// With no server chosen nothing is sent: the start-up's connection test is
// left out, a server list stays empty, a handheld's server files and a
// product program's update fail with the message that says where to choose
// one, and an empty selection is still answered at once.
TEST(ServerSteps, NoServerChosenSendsNothing) {
  Steps s;
  ChooseServer(s.net->server, ServerChoice{});
  s.net->serverStep = kServerStart;
  RunServerSteps(s.Context());
  EXPECT_EQ(s.net->serverStep, kServerIdle);

  ShowServerList(s.net->lists, s.t, kListServerProjects);
  s.RunUntil(kServerIdle);
  EXPECT_EQ(s.Message(), "");
  EXPECT_EQ(s.net->lists.listRowCount, 0);

  s.Announced({}, kListServerPictures, kDownloadFiles);
  s.RunUntil(kServerIdle);
  EXPECT_EQ(s.t.serverFilesReady, 1);
  EXPECT_EQ(s.Message(), "");
  s.t.transferActive = 0;
  s.RunUntil(kServerIdle);

  // A failure is said at once and clears the selection; during a handheld
  // transfer both wait for its end, the selection staying as the handheld saw it.
  for (const uint16_t request : {kDownloadFiles, kDownloadUpdateList}) {
    SCOPED_TRACE(request);
    const bool transferring = request == kDownloadFiles;
    s.net->message = ServerMessage{};
    s.Announced({"Alpha~"}, transferring ? kListServerPictures : kListServerProductPrograms, request);
    s.t.transferActive = transferring ? 1 : 0;
    s.RunUntil(kServerIdle);
    EXPECT_EQ(s.Message(), transferring ? "" : kNoServerChosen);
    EXPECT_EQ(s.t.selectionCount, transferring ? 1 : 0);
    s.t.transferActive = 0;
    RunServerSteps(s.Context());
    EXPECT_EQ(s.Message(), kNoServerChosen);
    EXPECT_EQ(s.t.selectionCount, 0);
  }
  EXPECT_EQ(s.Sends(), 0);
}

}  // namespace
}  // namespace trelvan
