// The Linux single-instance lock: one holder per data folder, whatever path
// names the folder, released with its holder, and never a write into the
// data folder (so a read-only folder cannot switch it off).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/fake/fake_files.h"
#include "platform/linux/socket_instance.h"

namespace trelvan {
namespace {

namespace fs = std::filesystem;
constexpr const char* kLock = "TrelvanAssistantGlobalMutex";

TEST(SocketInstance, OneHolderPerDataFolder) {
  FakeFiles scratch;  // a fresh folder, so no other test run shares the lock
  const std::string data = scratch.DataPath("data"), other = scratch.DataPath("other");
  fs::create_directory(data);
  fs::create_directory(other);
  fs::create_directory_symlink(data, scratch.DataPath("link"));
  {
    SocketInstance first(data);
    ASSERT_TRUE(first.AcquireSingleInstance(kLock));
    EXPECT_TRUE(first.AcquireSingleInstance(kLock));  // asking again keeps it
    EXPECT_FALSE(SocketInstance(data).AcquireSingleInstance(kLock));
    EXPECT_FALSE(SocketInstance(data + "/").AcquireSingleInstance(kLock));
    EXPECT_FALSE(SocketInstance(scratch.DataPath("link")).AcquireSingleInstance(kLock));
    EXPECT_FALSE(SocketInstance(other + "/../data").AcquireSingleInstance(kLock));
    EXPECT_TRUE(SocketInstance(other).AcquireSingleInstance(kLock));
    EXPECT_TRUE(SocketInstance(data).AcquireSingleInstance("AnotherLock"));
  }
  EXPECT_TRUE(SocketInstance(data).AcquireSingleInstance(kLock));  // released with its holder
  EXPECT_TRUE(fs::is_empty(data));
}

TEST(SocketInstance, AFolderThatCannotBeWrittenStillLocks) {
  FakeFiles scratch;
  const std::string missing = scratch.DataPath("never made");
  SocketInstance first(missing);
  ASSERT_TRUE(first.AcquireSingleInstance(kLock));
  EXPECT_FALSE(SocketInstance(missing).AcquireSingleInstance(kLock));
  EXPECT_FALSE(fs::exists(missing));
}

}  // namespace
}  // namespace trelvan
