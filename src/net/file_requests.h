// The update server's two requests (file information and file data) and
// their replies, on byte buffers. Names and revision texts sit in fixed,
// zero-filled fields; numbers are little-endian. The sequence number and
// sum that close every request and reply are datagrams.h's.
#pragma once

#include <cstdint>

#include "storage/text.h"

namespace trelvan {

// ---- capacities ---------------------------------------------------------------
constexpr uint8_t kFileInfoCode = 0x14;
constexpr uint8_t kFileDataCode = 0x15;
constexpr uint8_t kServerStatusFound = 1;
constexpr int kServerNameField = kFileNameCapacity;
constexpr int kServerRevisionField = 7;   // 6 characters and the zero
constexpr uint16_t kServerChunkLimit = 400;  // data bytes one request may ask for
constexpr uint32_t kFileInfoRequestLength = 1 + kServerNameField;                          // 33
constexpr uint32_t kFileDataRequestLength = 1 + kServerNameField + kServerRevisionField + 4 + 2;  // 46
constexpr uint32_t kFileInfoReplyLength = 1 + kServerNameField + kServerRevisionField + 4;  // 44
constexpr uint32_t kFileDataReplyHeader = 2;  // status and a byte not interpreted
constexpr uint32_t kReplyTrailer = 4;         // the sequence answered and the sum

struct FileRequest {
  uint8_t code;  /**< kFileInfoCode or kFileDataCode */
  char name[kServerNameField];
  char revision[kServerRevisionField];  /**< data requests only */
  uint32_t offset;                      /**< data requests only */
  uint16_t count;                       /**< data requests only */
};

struct FileInfoReply {
  uint8_t status;
  char name[kServerNameField];
  char revision[kServerRevisionField];
  uint32_t size;
};

// The payloads the assistant sends; each returns its length.
uint32_t BuildFileInfoRequest(uint8_t* out, const char* name);
uint32_t BuildFileDataRequest(uint8_t* out, const char* name, const char* revision, uint32_t offset,
                              uint16_t count);
// A request payload of n bytes (sequence and sum already taken off); false
// when its code is unknown or it is too short for its code. Texts end at
// their field's end when their zero is missing.
bool ParseFileRequest(const uint8_t* payload, uint32_t n, FileRequest& out);

// The server's reply payloads; each returns its length.
uint32_t BuildFileInfoReply(uint8_t* out, const FileInfoReply& reply);
// Status and then `count` bytes of data (copied from `data`).
uint32_t BuildFileDataReply(uint8_t* out, uint8_t status, const uint8_t* data, uint16_t count);

// A whole reply of `length` bytes (its trailer included); false when it is
// too short to hold a file-information reply. Texts end at their field's end.
bool ParseFileInfoReply(const uint8_t* reply, uint32_t length, FileInfoReply& out);
// The data a file-data reply of `length` bytes carries (trailer excluded),
// 0 when it has none.
uint32_t FileDataReplyCount(uint32_t length);

}  // namespace trelvan
