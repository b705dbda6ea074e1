#include "net/file_requests.h"

#include <cstring>

#include "storage/bytes.h"

namespace trelvan {
namespace {

// Writes `text` into a zero-filled field; the field's last byte stays zero.
void PutField(uint8_t* field, int width, const char* text) {
  std::memset(field, 0, static_cast<size_t>(width));
  for (int i = 0; i < width - 1 && text[i] != 0; ++i) field[i] = static_cast<uint8_t>(text[i]);
}

// Reads a field into `out` (width bytes): it ends at its zero or its end.
void GetField(const uint8_t* field, int width, char* out) {
  int i = 0;
  for (; i < width - 1 && field[i] != 0; ++i) out[i] = static_cast<char>(field[i]);
  out[i] = 0;
}

}  // namespace

uint32_t BuildFileInfoRequest(uint8_t* out, const char* name) {
  out[0] = kFileInfoCode;
  PutField(out + 1, kServerNameField, name);
  return kFileInfoRequestLength;
}

uint32_t BuildFileDataRequest(uint8_t* out, const char* name, const char* revision, uint32_t offset,
                              uint16_t count) {
  out[0] = kFileDataCode;
  PutField(out + 1, kServerNameField, name);
  PutField(out + 1 + kServerNameField, kServerRevisionField, revision);
  WriteU32LE(out + 40, offset);
  WriteU16LE(out + 44, count);
  return kFileDataRequestLength;
}

bool ParseFileRequest(const uint8_t* payload, uint32_t n, FileRequest& out) {
  std::memset(&out, 0, sizeof out);
  if (n < 1) return false;
  out.code = payload[0];
  if (out.code == kFileInfoCode) {
    if (n < kFileInfoRequestLength) return false;
    GetField(payload + 1, kServerNameField, out.name);
    return true;
  }
  if (out.code != kFileDataCode || n < kFileDataRequestLength) return false;
  GetField(payload + 1, kServerNameField, out.name);
  GetField(payload + 1 + kServerNameField, kServerRevisionField, out.revision);
  out.offset = ReadU32LE(payload + 40);
  out.count = ReadU16LE(payload + 44);
  return true;
}

uint32_t BuildFileInfoReply(uint8_t* out, const FileInfoReply& reply) {
  out[0] = reply.status;
  PutField(out + 1, kServerNameField, reply.name);
  PutField(out + 1 + kServerNameField, kServerRevisionField, reply.revision);
  WriteU32LE(out + 40, reply.size);
  return kFileInfoReplyLength;
}

uint32_t BuildFileDataReply(uint8_t* out, uint8_t status, const uint8_t* data, uint16_t count) {
  out[0] = status;
  out[1] = 0;
  if (count > 0) std::memcpy(out + kFileDataReplyHeader, data, count);
  return kFileDataReplyHeader + count;
}

bool ParseFileInfoReply(const uint8_t* reply, uint32_t length, FileInfoReply& out) {
  std::memset(&out, 0, sizeof out);
  if (length < kFileInfoReplyLength + kReplyTrailer) return false;
  out.status = reply[0];
  GetField(reply + 1, kServerNameField, out.name);
  GetField(reply + 1 + kServerNameField, kServerRevisionField, out.revision);
  out.size = ReadU32LE(reply + 40);
  return true;
}

uint32_t FileDataReplyCount(uint32_t length) {
  return length < kFileDataReplyHeader + kReplyTrailer ? 0 : length - kFileDataReplyHeader - kReplyTrailer;
}

}  // namespace trelvan
