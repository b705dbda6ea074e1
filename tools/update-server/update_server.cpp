#include "update_server.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "datagram/datagrams.h"
#include "net/file_requests.h"
#include "storage/bytes.h"
#include "storage/file_system.h"

namespace trelvan {
namespace {

const ServedFile* FindServed(const UpdateServer& server, const char* name) {
  for (const ServedFile& f : server.files) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

// The reply payload (before its trailer) for a request; `what` describes it.
uint32_t Answer(const UpdateServer& server, const FileRequest& r, uint8_t* out, std::string* what) {
  const ServedFile* f = FindServed(server, r.name);
  if (r.code == kFileInfoCode) {
    FileInfoReply info{};
    snprintf(info.name, sizeof info.name, "%s", r.name);
    if (f) {
      info.status = kServerStatusFound;
      snprintf(info.revision, sizeof info.revision, "%s", f->revision.c_str());
      info.size = static_cast<uint32_t>(f->bytes.size());
      *what = Format("info \"%s\": revision %s, %u bytes", r.name, info.revision, info.size);
    } else {
      *what = Format("info \"%s\": not served", r.name);
    }
    return BuildFileInfoReply(out, info);
  }
  const uint32_t size = f ? static_cast<uint32_t>(f->bytes.size()) : 0;
  if (!f || r.offset > size || r.count > kServerChunkLimit) {
    *what = Format("data \"%s\" at %u, %u bytes: refused (%s)", r.name, r.offset, r.count,
                   !f ? "not served" : r.offset > size ? "past the end" : "over 400 bytes");
    return BuildFileDataReply(out, 0, nullptr, 0);
  }
  const uint32_t left = size - r.offset;
  const uint16_t count = static_cast<uint16_t>(left < r.count ? left : r.count);
  *what = Format("data \"%s\" at %u: %u bytes", r.name, r.offset, count);
  return BuildFileDataReply(out, kServerStatusFound, f->bytes.data() + r.offset, count);
}

}  // namespace

bool AddServedFile(UpdateServer& server, const uint8_t* bytes, uint32_t size) {
  if (!IsCompleteFileHeader(bytes, size)) return false;
  ServedFile f;
  f.name = reinterpret_cast<const char*>(bytes + 1);  // the header's first field ends in a zero
  f.revision = kDefaultServedRevision;
  f.bytes.assign(bytes, bytes + size);
  for (ServedFile& old : server.files) {
    if (old.name == f.name) {
      old = f;
      return true;
    }
  }
  server.files.push_back(f);
  return true;
}

int ApplyRevisionIndex(UpdateServer& server, const std::string& text) {
  int unused = 0;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    bool named = false;
    if (tab != std::string::npos) {
      for (ServedFile& f : server.files) {
        if (f.name == line.substr(0, tab)) {
          f.revision = line.substr(tab + 1);
          named = true;
        }
      }
    }
    if (!named) ++unused;
  }
  return unused;
}

uint32_t ServeDatagram(UpdateServer& server, const uint8_t* datagram, uint32_t n, uint8_t* out,
                       std::string* line) {
  const uint32_t number = ++server.datagrams;
  if (server.options.dropEvery != 0 && number % server.options.dropEvery == 0) {
    *line = Format("#%u dropped", number);
    return 0;
  }
  const uint8_t* body = datagram + kMagicLength;
  const uint32_t length = n - kMagicLength;
  if (n < kMagicLength + 1 + kReplyTrailer || ReadU32LE(datagram) != kMagicToPeer ||
      length > kServerRequestLimit) {
    *line = Format("#%u ignored: not a request (%u bytes)", number, n);
    return 0;
  }
  // a request closes with its sequence and the sum of the bytes before, as a reply does
  if (!VerifyServerReply(body, length)) {
    *line = Format("#%u ignored: bad sum", number);
    return 0;
  }
  FileRequest request;
  if (!ParseFileRequest(body, length - kReplyTrailer, request)) {
    *line = Format("#%u ignored: unknown request 0x%02X", number, body[0]);
    return 0;
  }
  uint16_t sequence = ReplySequence(body, length);
  std::string what;
  uint8_t* reply = out + kMagicLength;
  const uint32_t payload = Answer(server, request, reply, &what);
  const uint32_t replyNumber = ++server.replies;
  std::string extra;
  if (server.options.staleOnce && !server.staleSent) {
    server.staleSent = true;
    sequence = static_cast<uint16_t>(sequence - 1);
    extra = ", answered as sequence " + std::to_string(sequence) + " (stale)";
  }
  const uint32_t total = CompleteServerRequest(reply, payload, sequence);
  if (server.options.corruptEvery != 0 && replyNumber % server.options.corruptEvery == 0) {
    reply[total - 1] ^= 0x5A;
    extra += ", sum spoilt";
  }
  WriteU32LE(out, kMagicFromServer);
  *line = Format("#%u seq %u ", number, ReplySequence(body, length)) + what + extra;
  return kMagicLength + total;
}

}  // namespace trelvan
