// Helpers shared by the storage, shell, fault and model tests: a formatted
// storage on the fake platform, the writer's calling sequence, host files,
// bytes written in hex.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "storage/file_system.h"
#include "storage/storage.h"
#include "storage/storage_check.h"
#include "storage/storage_image.h"

namespace trelvan {
namespace testing {

// `s` initialised as a start-up without image files does it: erased,
// formatted, run to idle.
inline void FormatFresh(Storage& s, Files& files) {
  StorageInit(s, files);
  FormatStorage(s);
  RunStorageToIdle(s);
}

// A Storage on the heap (it holds the 128 MB image), formatted fresh.
inline std::unique_ptr<Storage> MakeFormattedStorage(Files& files) {
  std::unique_ptr<Storage> s(new Storage);
  FormatFresh(*s, files);
  return s;
}

// FileHeader for `name` (type "Test", version "1.00" unless given) followed by `data`.
inline std::vector<uint8_t> FileContent(const std::string& name, const std::vector<uint8_t>& data,
                                        const char* type = "Test", const char* version = "1.00") {
  uint8_t header[kFileHeaderMaxLength];
  const int h = StorageBuildHeader(header, name.c_str(), "", type, version);
  std::vector<uint8_t> content(header, header + h);
  content.insert(content.end(), data.begin(), data.end());
  return content;
}

// Deterministic filler bytes that differ by seed and position.
inline std::vector<uint8_t> Pattern(uint32_t size, uint32_t seed) {
  std::vector<uint8_t> v(size);
  uint32_t x = seed * 2654435761u + 12345u;
  for (uint32_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    v[i] = static_cast<uint8_t>(x >> 16);
  }
  return v;
}

// The writer's calling sequence: create, then the content in pieces of at
// most `piece` bytes, each followed by a run to idle. Returns the create result.
inline int WriteWholeFile(Storage& s, const std::vector<uint8_t>& content, uint32_t piece = 256) {
  RunStorageToIdle(s);
  const int r = StorageCreateFile(s, static_cast<uint32_t>(content.size()));
  if (r != kStorageAccepted) return r;
  RunStorageToIdle(s);
  uint32_t at = 0;
  do {
    const uint32_t n = std::min(static_cast<uint32_t>(content.size()) - at, piece);
    EXPECT_EQ(StorageWriteData(s, content.data() + at, n), kStorageAccepted);
    RunStorageToIdle(s);
    at += n;
  } while (at < content.size());
  return r;
}

inline int StoreNamedFile(Storage& s, const std::string& name, const std::vector<uint8_t>& data) {
  return WriteWholeFile(s, FileContent(name, data));
}

// The whole stored content of file `index`, header included.
inline std::vector<uint8_t> StoredContent(const Storage& s, uint16_t index) {
  std::vector<uint8_t> v(StorageFileSize(s, index));
  StorageReadData(s, index, 0, v.data(), static_cast<uint32_t>(v.size()));
  return v;
}

// The whole stored content of the file called `name`; empty when there is none.
inline std::vector<uint8_t> StoredFile(const Storage& s, const char* name) {
  const int i = StorageFindFile(s, name);
  return i < 0 ? std::vector<uint8_t>{} : StoredContent(s, static_cast<uint16_t>(i));
}

// The data after the FileHeader of the file called `name`; empty when there is none.
inline std::vector<uint8_t> StoredData(const Storage& s, const char* name) {
  const int i = StorageFindFile(s, name);
  if (i < 0) return {};
  const std::vector<uint8_t> all = StoredContent(s, static_cast<uint16_t>(i));
  return {all.begin() + StorageHeaderLength(s, static_cast<uint16_t>(i)), all.end()};
}

// How many stored files are called `name`.
inline int CountStored(const Storage& s, const char* name) {
  int n = 0;
  for (int i = StorageFindFile(s, name); i >= 0; i = StorageFindFileFrom(s, name, static_cast<uint16_t>(i + 1))) ++n;
  return n;
}

// Whether a new start would use the image as it is, not set it aside.
inline ::testing::AssertionResult UsableAtStartUp(const Storage& s) {
  char message[1024];
  if (CheckStorageAtStartUp(s, message, sizeof message) == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the start-up would set it aside: " << message;
}

inline ::testing::AssertionResult ImageIsConsistent(const Storage& s) {
  char message[1024];
  if (CheckStorage(s, message, sizeof message) != 0)
    return ::testing::AssertionFailure() << message;
  return UsableAtStartUp(s);
}

// Bytes written in hex, pairs of digits in words: "0a 1b", "0a1b", and
// "07*4" for the byte 07 four times.
inline std::vector<uint8_t> HexBytes(const std::string& hex) {
  std::vector<uint8_t> out;
  std::istringstream words(hex);
  for (std::string w; words >> w;) {
    const size_t star = w.find('*');
    const size_t times = star == std::string::npos ? 1 : std::stoul(w.substr(star + 1));
    if (star != std::string::npos) w.resize(star);
    for (size_t i = 0; i + 1 < w.size(); i += 2) {
      out.insert(out.end(), times, static_cast<uint8_t>(std::stoul(w.substr(i, 2), nullptr, 16)));
    }
  }
  return out;
}

// A formatted storage on the fake platform, where most storage tests start.
class StorageTest : public ::testing::Test {
 protected:
  FakePlatform platform;
  std::unique_ptr<Storage> s = MakeFormattedStorage(platform.files);
};

// Files in the host's folders, as another program or the user leaves them.
inline void WriteHostFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
inline std::vector<uint8_t> ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline bool Exists(const std::string& path) { return std::ifstream(path).good(); }

}  // namespace testing
}  // namespace trelvan
