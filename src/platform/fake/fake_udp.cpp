#include "platform/fake/fake_udp.h"

#include <cstring>

namespace trelvan {

intptr_t FakeUdp::Open() {
  std::lock_guard<std::mutex> lock(mutex_);
  const intptr_t s = next_++;
  sockets_[s] = Socket{};
  return s;
}

bool FakeUdp::Bind(intptr_t socket, uint16_t port) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& s : sockets_) {
    if (!s.second.closed && s.second.port == port) return false;
  }
  auto it = sockets_.find(socket);
  if (it == sockets_.end()) return false;
  it->second.port = port;
  return true;
}

bool FakeUdp::SendTo(intptr_t socket, const char* address, uint16_t port, const uint8_t* bytes,
                     uint32_t count) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto from = sockets_.find(socket);
  if (failSends || from == sockets_.end() || from->second.closed) return false;
  const uint16_t fromPort = from->second.port ? from->second.port : static_cast<uint16_t>(40000 + socket);
  Datagram d{address, port, std::vector<uint8_t>(bytes, bytes + count), UdpSender{true, 0x7F000001, fromPort}};
  sent_.push_back(d);
  for (auto& s : sockets_) {
    if (!s.second.closed && s.second.port == port) s.second.queue.push_back(d);
  }
  arrived_.notify_all();
  return true;
}

int32_t FakeUdp::Receive(intptr_t socket, uint8_t* buffer, uint32_t capacity, UdpSender* from) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    auto it = sockets_.find(socket);
    if (it == sockets_.end() || it->second.closed) return kReceiveFailed;
    if (!it->second.queue.empty()) {
      Datagram d = it->second.queue.front();
      it->second.queue.pop_front();
      const uint32_t n = d.bytes.size() < capacity ? static_cast<uint32_t>(d.bytes.size()) : capacity;
      std::memcpy(buffer, d.bytes.data(), n);
      *from = d.from;
      return static_cast<int32_t>(n);
    }
    arrived_.wait(lock);
  }
}

void FakeUdp::Wake(intptr_t socket) { Close(socket); }

void FakeUdp::Close(intptr_t socket) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = sockets_.find(socket);
  if (it != sockets_.end()) it->second.closed = true;
  arrived_.notify_all();
}

bool FakeUdp::LocalAddress(char* out, uint32_t capacity) {
  std::strncpy(out, localAddress.c_str(), capacity - 1);
  out[capacity - 1] = 0;
  return !localAddress.empty();
}

bool FakeUdp::Resolve(const char* name, char* out, uint32_t capacity) {
  ++resolved;
  out[0] = 0;
  const auto known = names.find(name);
  std::string address = known != names.end() ? known->second : std::string(name);
  if (address.empty() || address.size() >= capacity ||
      address.find_first_not_of("0123456789.") != std::string::npos) {
    return false;
  }
  std::memcpy(out, address.c_str(), address.size() + 1);
  return true;
}

bool FakeUdp::Deliver(uint16_t port, const std::vector<uint8_t>& bytes, UdpSender from) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& s : sockets_) {
    if (!s.second.closed && s.second.port == port) {
      s.second.queue.push_back(Datagram{"127.0.0.1", port, bytes, from});
      arrived_.notify_all();
      return true;
    }
  }
  return false;
}

std::vector<FakeUdp::Datagram> FakeUdp::Sent() {
  std::lock_guard<std::mutex> lock(mutex_);
  return sent_;
}

size_t FakeUdp::SentCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return sent_.size();
}

FakeUdp::Datagram FakeUdp::LastSent() {
  std::lock_guard<std::mutex> lock(mutex_);
  return sent_.empty() ? Datagram{} : sent_.back();
}

int FakeUdp::OpenSockets() {
  std::lock_guard<std::mutex> lock(mutex_);
  int n = 0;
  for (const auto& s : sockets_) n += s.second.closed ? 0 : 1;
  return n;
}

}  // namespace trelvan
