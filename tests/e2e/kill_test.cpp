// The program killed (SIGKILL) during a burst of imports and edits, at 20
// moments: a child process runs the assistant on a data folder of its own
// with the real threads, storing a picture, replacing an edited record and
// deleting an older picture tick after tick, and tells the test each change
// whose commit the journal has made durable. The test kills it, starts a
// new assistant on the folder and finds every change told, and the storage
// of one whole change.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "platform/linux/posix_threads.h"
#include "shell/assistant.h"
#include "shell/shell.h"
#include "storage/file_system.h"
#include "storage/storage_fixture.h"
#include "storage/whole_file.h"

namespace trelvan {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::Pattern;

std::string PictureName(uint32_t i) { return "Picture " + std::to_string(i) + "~"; }
uint32_t PictureSize(uint32_t i) { return 100 + i * 997 % 20000; }
// Change i deletes the picture of change i - 2 when i is a multiple of 3.
bool PictureKept(uint32_t picture, uint32_t change) {
  return picture <= change && !(picture + 2 <= change && (picture + 2) % 3 == 0);
}

void MakeChange(Storage& s, uint32_t i) {
  const Bytes picture = Pattern(PictureSize(i), i);
  StorageWriteRecord(s, PictureName(i).c_str(), "", "Picture", "1.00", picture.data(),
                     static_cast<uint32_t>(picture.size()));
  const Bytes edit = Pattern(300 + i % 7, 1000 + i);
  StorageWriteRecord(s, "Edited", "", "Project", "1.00", edit.data(),
                     static_cast<uint32_t>(edit.size()));
  if (i % 3 == 0) StorageDeleteNamedFile(s, PictureName(i - 2).c_str());
}

// Whether the storage holds exactly what changes 1 to n made.
bool HoldsChanges(const Storage& s, uint32_t n) {
  if (n == 0) return StorageFindFile(s, "Edited") < 0;
  for (uint32_t p = 1; p <= n + 1; ++p) {
    const Bytes stored = testing::StoredData(s, PictureName(p).c_str());
    if (PictureKept(p, n) ? stored != Pattern(PictureSize(p), p) : !stored.empty()) return false;
  }
  return testing::StoredData(s, "Edited") == Pattern(300 + n % 7, 1000 + n);
}

// The child: the burst, telling each change once its commit is durable.
[[noreturn]] void RunBurst(const std::string& folder, int tell) {
  FakePlatform fake(folder);
  PosixThreads threads;
  Platform p = fake;
  Platform platform{p.window, p.files, p.instance, p.udp, threads, p.processes, p.hid,
                    p.libraries, p.settings, p.audio};
  auto a = std::make_unique<Assistant>(platform);
  MainWindowCreated(*a);
  MainWindowMessage(*a, Message::Timer, 0, 0, 0);
  std::deque<std::pair<uint32_t, uint32_t>> waiting;  // commit, change
  for (uint32_t change = 1; change < 2000; ++change) {
    MakeChange(a->storage, change);
    MainWindowMessage(*a, Message::Timer, 0, 0, 0);
    waiting.emplace_back(a->journal.commits, change);
    const uint32_t durable = a->journal.writer.durable.load();
    while (!waiting.empty() && waiting.front().first <= durable) {
      if (write(tell, &waiting.front().second, 4) != 4) _exit(3);
      waiting.pop_front();
    }
  }
  _exit(2);  // never reached: the test kills it first
}

TEST(KilledDuringABurst, EveryChangeCommittedBeforeTheKillIsThere) {
  namespace fs = std::filesystem;
  for (uint32_t moment = 0; moment < 20; ++moment) {
    const std::string where = "moment " + std::to_string(moment);
    FakePlatform restarted;  // its own fresh folder
    const std::string folder = restarted.files.DataFolder();
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(fds[0]);
      RunBurst(folder, fds[1]);
    }
    close(fds[1]);
    // Killed after 1 to 39 changes were told, then 0 to 4.75 ms later.
    const uint32_t told = 1 + moment * 2;
    uint32_t last = 0;
    while (last < told) {
      ASSERT_EQ(read(fds[0], &last, 4), 4) << where << ": the burst ended early";
    }
    usleep(moment % 20 * 250);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    uint32_t more = 0;
    while (read(fds[0], &more, 4) == 4) last = more;  // told before it died
    close(fds[0]);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << where;

    auto a = std::make_unique<Assistant>(restarted);
    MainWindowCreated(*a);
    for (const std::string& m : restarted.window.messages) {
      EXPECT_EQ(m.find("another"), std::string::npos) << where << ": " << m;
    }
    uint32_t held = last;
    while (held < 2000 && !HoldsChanges(a->storage, held)) ++held;
    EXPECT_TRUE(HoldsChanges(a->storage, held))
        << where << ": the storage is not that of any change from " << last << " on";
    // The recovered storage is in the storage file: a kill now loses nothing.
    a.reset();
    auto again = std::make_unique<Assistant>(restarted);
    MainWindowCreated(*again);
    EXPECT_TRUE(HoldsChanges(again->storage, held)) << where << " after a second start";
    std::printf("[ moment   ] %u: %u changes told, %u found\n", moment, last, held);
  }
}

}  // namespace
}  // namespace trelvan
