// The UDP service of the tests: an in-memory network. A datagram sent to a
// port is queued at the socket bound to it; tests put datagrams in (with
// their sender) and read what was sent. Sockets send from 127.0.0.1 and
// their bound port (an unbound one from a port of its own above 40000).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/udp.h"

namespace trelvan {

class FakeUdp : public Udp {
 public:
  struct Datagram {
    std::string address;  /**< where it was sent */
    uint16_t port;
    std::vector<uint8_t> bytes;
    UdpSender from;
  };
  static constexpr UdpSender kLoopbackServer{true, 0x7F000001, 4608};

  bool Startup() override { return !failStartup; }
  void Cleanup() override {}
  intptr_t Open() override;
  bool Bind(intptr_t socket, uint16_t port) override;
  bool SendTo(intptr_t socket, const char* address, uint16_t port, const uint8_t* bytes,
              uint32_t count) override;
  int32_t Receive(intptr_t socket, uint8_t* buffer, uint32_t capacity, UdpSender* from) override;
  void Wake(intptr_t socket) override;
  void Close(intptr_t socket) override;
  bool LocalAddress(char* out, uint32_t capacity) override;
  bool Resolve(const char* name, char* out, uint32_t capacity) override;

  // ---- what a test does ----
  // Queues a datagram at the socket bound to `port`; false when none is.
  bool Deliver(uint16_t port, const std::vector<uint8_t>& bytes, UdpSender from = kLoopbackServer);
  std::vector<Datagram> Sent();  /**< everything sent, in order */
  // How many were sent, and the latest (an empty one when none was): a
  // server stand-in answering each request asks these, not the whole list.
  size_t SentCount();
  Datagram LastSent();
  int OpenSockets();
  bool failStartup = false;
  bool failSends = false;         /**< every send fails */
  // Host names Resolve knows, each with its dotted address; a dotted text
  // resolves to itself, anything else fails.
  std::map<std::string, std::string> names;
  int resolved = 0;  /**< Resolve calls */
  std::string localAddress = "127.0.0.1";

 private:
  struct Socket {
    uint16_t port = 0;
    bool closed = false;
    std::deque<Datagram> queue;
  };
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::map<intptr_t, Socket> sockets_;
  intptr_t next_ = 3;
  std::vector<Datagram> sent_;
};

}  // namespace trelvan
