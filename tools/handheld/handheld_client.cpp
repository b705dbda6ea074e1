#include "handheld_client.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace trelvan {
namespace handheld {

namespace {

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
uint32_t Get16(const Bytes& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t Get32(const Bytes& b, size_t at) { return Get16(b, at) | (Get16(b, at + 2) << 16); }
}  // namespace

Bytes WithChecksum(Bytes packet) {
  uint8_t sum = 0;
  for (uint8_t b : packet) sum = static_cast<uint8_t>(sum + b);
  packet.push_back(sum);
  return packet;
}

bool ReplyChecksumHolds(const Bytes& reply) {
  if (reply.empty()) return false;
  uint8_t sum = 0;
  for (size_t i = 0; i + 1 < reply.size(); ++i) sum = static_cast<uint8_t>(sum + reply[i]);
  return sum == reply.back();
}

bool Client::Ask(const Bytes& request, Bytes* reply) {
  ++requests;
  if (!exchange(WithChecksum(request), reply) || !ReplyChecksumHolds(*reply)) return false;
  reply->pop_back();
  return true;
}

bool Client::Announce(const std::string& revision) {
  Bytes r = {0x29};
  for (const std::string& text : {std::string("Trelvan Handheld"), std::string("TX-9b"),
                                  std::string("IVT-9b"), revision}) {
    r.insert(r.end(), text.begin(), text.end());
    r.push_back(0);
  }
  Bytes reply;
  const bool ok = Ask(r, &reply) && reply.size() == 1 && reply[0] == 1;
  log += ok ? "announce: accepted\n" : "announce: refused\n";
  return ok;
}

int Client::Pull(const std::string& folder, const std::string& revision) {
  if (!Announce(revision)) return -1;
  Bytes reply;
  // The totals answer 0 until the sizes of all the files are known.
  for (int tries = 0;; ++tries) {
    if (!Ask({0x2A}, &reply)) return -1;
    if (reply.size() == 8 && reply[0] == 1) break;
    if (tries > 1000) {
      log += "totals: no answer but " + std::to_string(reply.size()) + " bytes\n";
      return -1;
    }
  }
  const uint32_t count = Get16(reply, 2);
  const uint32_t total = Get32(reply, 4);
  log += "totals: " + std::to_string(count) + " files of " + std::to_string(total) + " bytes\n";
  uint32_t ready = 0;
  for (uint32_t i = 0; i < count; ++i) {
    // Server files become ready one by one as they download: file i is
    // pulled once the ready count passes it.
    for (int tries = 0; ready <= i; ++tries) {
      if (tries > 6000 || !Ask({0x13}, &reply) || reply.size() != 3 || reply[0] != 1) {
        log += "ready count stayed at " + std::to_string(ready) + "\n";
        return -1;
      }
      if (Get16(reply, 1) != ready) log += "ready: " + std::to_string(Get16(reply, 1)) + "\n";
      ready = Get16(reply, 1);
    }
    Bytes size = {0x14};
    Put16(size, i);
    if (!Ask(size, &reply) || reply.size() != 5 || reply[0] != 1) return -1;
    const uint32_t length = Get32(reply, 1);
    Bytes file;
    while (file.size() < length) {
      const uint32_t n = length - file.size() < readPiece ? length - static_cast<uint32_t>(file.size()) : readPiece;
      Bytes read = {0x15};
      Put16(read, i);
      Put32(read, static_cast<uint32_t>(file.size()));
      Put16(read, n);
      if (!Ask(read, &reply) || reply.size() != n + 1 || reply[0] != 1) return -1;
      file.insert(file.end(), reply.begin() + 1, reply.end());
    }
    // The name is the header's first string: 0x02, name, 0.
    std::string name;
    for (size_t k = 1; k < file.size() && file[k] != 0 && k < 32; ++k) name += static_cast<char>(file[k]);
    if (file.empty() || file[0] != 0x02 || name.empty() || name.find('/') != std::string::npos) return -1;
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out) return -1;
    log += "pulled " + name + ": " + std::to_string(length) + " bytes\n";
  }
  return static_cast<int>(count);
}

bool Client::Push(const Bytes& file) {
  Bytes create = {0x16};
  Put32(create, static_cast<uint32_t>(file.size()));
  Bytes reply;
  if (!Ask(create, &reply) || reply.size() != 1 || reply[0] != 1) {
    log += "push: create refused\n";
    return false;
  }
  for (size_t at = 0; at < file.size(); at += writePiece) {
    const size_t n = file.size() - at < writePiece ? file.size() - at : writePiece;
    Bytes write(2 + n);
    write[0] = 0x17;
    write[1] = static_cast<uint8_t>(n);
    std::copy(file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at + n), write.begin() + 2);
    if (!Ask(write, &reply) || reply.size() != 1 || reply[0] != 1) return false;
  }
  log += "pushed " + std::to_string(file.size()) + " bytes\n";
  return true;
}

bool Client::OversizedReads() {
  for (uint32_t count = 250; count <= 256; ++count) {
    Bytes read = {0x15, 0, 0, 0, 0, 0, 0};
    Put16(read, count);
    Bytes reply;
    const bool answered = Ask(read, &reply);
    const bool ok = count > 253 ? answered && reply.empty()
                                : count + 2 <= 252 ? answered && reply.size() == count + 1 : !answered;
    log += "read of " + std::to_string(count) + (ok ? ": as it should\n" : ": wrong answer\n");
    if (!ok || !NoOp()) return false;
  }
  return true;
}

bool Client::NoOp() {
  Bytes reply;
  const bool ok = Ask({0x11}, &reply) && reply.empty();
  log += ok ? "noop: the empty packet\n" : "noop: unexpected reply\n";
  return ok;
}

bool Client::BadChecksum() {
  ++requests;
  Bytes request = WithChecksum({0x11});
  request.back() = static_cast<uint8_t>(request.back() + 1);
  Bytes reply;
  const bool ok = exchange(request, &reply) && reply == Bytes({0, 8, 8});
  log += ok ? "bad checksum: refused with 0, 8\n" : "bad checksum: unexpected reply\n";
  return ok;
}

}  // namespace handheld
}  // namespace trelvan
