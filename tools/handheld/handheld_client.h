// The stand-in handheld's side of the request and reply protocol, apart from
// the link that carries it: requests are built here with their checksum and
// each reply is checked before it is used.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace trelvan {
namespace handheld {

using Bytes = std::vector<uint8_t>;

// Sends one packet and returns the reply packet; false when none came.
using Exchange = std::function<bool(const Bytes& request, Bytes* reply)>;

Bytes WithChecksum(Bytes packet);
bool ReplyChecksumHolds(const Bytes& reply);

struct Client {
  Exchange exchange;
  // The simulator link carries 252-byte replies (status, 250 bytes, checksum);
  // a HID report carries 62 reply bytes and a 63-byte request.
  uint32_t readPiece = 250;
  uint32_t writePiece = 200;
  uint32_t requests = 0;
  std::string log;  /**< what it did, line by line */

  // One request with its checksum; the reply checked and its sum removed.
  bool Ask(const Bytes& request, Bytes* reply);
  bool Announce(const std::string& revision);
  // Announces with `revision`, then pulls the selection into `folder`,
  // each file under the name in its own header, every file as soon as the
  // ready count includes it. Returns the number of files, or -1 on a failure.
  int Pull(const std::string& folder, const std::string& revision = "1.00");
  // A raw storage file pushed whole.
  bool Push(const Bytes& file);
  bool NoOp();
  // Reads of file 0 asking 250 to 256 bytes, each followed by a no-op that
  // must be answered: those that cannot fit are refused with the empty
  // packet, those whose reply passes a simulator datagram get none.
  bool OversizedReads();
  // A request with a wrong checksum gets 0, 8.
  bool BadChecksum();
};

}  // namespace handheld
}  // namespace trelvan
