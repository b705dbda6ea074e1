// Fetching files from the update server into the storage: the file's
// information first (its revision and size), then its data in chunks of at
// most 400 bytes into the download buffer, then the whole file into the
// storage in 256-byte pieces, replacing an older file of the same name.
//
// Both operations are step functions: called once with start = 1 and the
// name, then with start = 0 on every tick until the result is final: 0 to
// 99 while running (the share received, for downloads), kStepDone, or
// kStepFailed with the reason in Download::failure.
#pragma once

#include <cstdint>

#include "net/file_requests.h"
#include "platform/platform.h"
#include "storage/whole_file.h"

namespace trelvan {

struct Storage;
struct Net;

// ---- capacities ---------------------------------------------------------------
// The largest file the assistant receives: a whole file waits in memory
// until it is complete, and the largest server files (product programs)
// stay well below this.
constexpr uint32_t kDownloadBufferCapacity = 4194304;

enum DownloadPhases : uint8_t { kDownloadIdle = 0, kDownloadInformation, kDownloadData };

// Why a download failed; the server steps choose their message by it.
enum DownloadFailures : uint8_t {
  kDownloadNoFailure = 0,
  kDownloadNotRead,    /**< no answer, a refusal, a short or foreign reply */
  kDownloadWrongFile,  /**< the server's file is not a storage file of the name asked for */
  kDownloadTooBig,     /**< larger than the download buffer (the box was shown) */
  kDownloadNoStorage,  /**< the storage refused the file; an older one stays */
};

struct Download {
  uint8_t phase;     /**< a DownloadPhases value */
  uint8_t infoOnly;  /**< 1: GetServerFileInfo, done at the information reply */
  uint8_t inMemory;  /**< 1: FetchServerFile, the file stays in the download buffer */
  uint8_t failure;   /**< a DownloadFailures value, set with kStepFailed */
  char name[kServerNameField];
  char revision[kServerRevisionField];  /**< from the information reply */
  uint32_t size;      /**< from the information reply */
  uint32_t received;  /**< bytes in the download buffer */
  uint16_t asked;     /**< bytes the chunk in flight asked for */
};

constexpr char kReceivedFileTooBig[] = "Received File is too big";

int GetServerFileInfo(Net& net, Platform& p, int start, const char* name);
int DownloadServerFile(Net& net, Storage& s, Platform& p, int start, const char* name);
// The same requests and replies, but the whole file (FileHeader first)
// stays in the download buffer, Download::size bytes, and nothing is
// stored: a look at a server file before it is chosen. A file that is not
// a storage file of the name asked for fails with kDownloadWrongFile.
int FetchServerFile(Net& net, Platform& p, int start, const char* name);

// Stores the `size` bytes of `bytes` (a storage file, FileHeader first) as
// a new file, then deletes an older file of its name. Bytes that do not
// begin with a complete FileHeader naming `name` (the file asked for: a
// reply must never replace a stored file of another name), or that the
// storage refuses, leave the storage as it was. While an older file is
// replaced, the replacement mark is stored (when the storage has room for
// it beside the new file): a cut leaves the mark, and the start-up keeps
// the newer file (FinishCutReplacement).
enum DownloadStoreResult : uint8_t {
  kDownloadStored,
  kDownloadNotAFile,
  kDownloadRefused,
  kDownloadStoring,  /**< StoreDownloadStep: more to do */
};
DownloadStoreResult StoreDownloadedFile(Storage& s, const uint8_t* bytes, uint32_t size, const char* name);

// The same one storage step or one changing call at a time, from a
// DownloadStore{}: kDownloadStoring until the result is final.
struct DownloadStore {
  uint8_t stage;  /**< what the next call does */
  uint32_t at;    /**< bytes handed to the storage */
  uint32_t markSize;  /**< 0: no replacement mark */
  uint8_t mark[kReplacementMarkCapacity];
};
DownloadStoreResult StoreDownloadStep(Storage& s, DownloadStore& st, const uint8_t* bytes,
                                      uint32_t size, const char* name);

}  // namespace trelvan
