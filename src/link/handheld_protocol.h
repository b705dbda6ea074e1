// The handheld's requests and the assistant's replies, on byte buffers.
//
// Every packet ends with a checksum byte, the sum of the bytes before it
// modulo 256. A request begins with its code, a reply with its status (1
// success, 0 failure). The length travels in the link's framing.
#pragma once

#include <cstdint>

#include "link/transfer_lists.h"

namespace trelvan {

struct Storage;

// ---- capacities ---------------------------------------------------------------
constexpr int kPacketCapacity = 256;    // a packet's length travels in one byte
constexpr int kRevisionCapacity = 6;    // the handheld's revision: 5 characters and the zero
constexpr uint16_t kReadCountLimit = 253;  // 1 + 253 data bytes + checksum fill the reply

enum RequestCodes : uint8_t {
  kReqNoOp = 0x11,
  kReqFindSelected = 0x12,
  kReqFileCount = 0x13,
  kReqFileSize = 0x14,
  kReqReadFile = 0x15,
  kReqCreateFile = 0x16,
  kReqWriteFile = 0x17,
  kReqAck = 0x20,
  kReqAnnounce = 0x29,
  kReqTransferTotals = 0x2A,
};

// What a transfer leaves for the main page, and the reply being built.
struct HandheldTransfer {
  uint16_t packetCount;     /**< packets received, good or bad */
  uint32_t bytesRemaining;  /**< twice the announced total, less each read's count */
  char handheldRevision[kRevisionCapacity];
  uint8_t reply[kPacketCapacity];
  uint8_t replyOverRun;     /**< 1: the last request asked for a reply that cannot fit */
  uint8_t pushOpen;         /**< 1: a pushed file was created and waits for its data */
};

uint8_t PacketSum(const uint8_t* bytes, uint32_t count);
// True when the last byte is the sum of the others (false for no bytes).
bool VerifyCheckSum(const uint8_t* packet, uint32_t length);
// Puts the checksum behind the reply's first `length` bytes and returns
// length + 1; 0 (and replyOverRun) when that would reach 256 bytes.
uint32_t AddCheckSum(HandheldTransfer& h, uint32_t length);

// Drops a pushed file the handheld did not finish; nothing of it stays.
void AbandonPush(HandheldTransfer& h, Storage& s);

// Checks and answers one request; the reply, checksum included, is in
// h.reply and its length is returned. A read asking for more than the reply
// holds gets the empty packet and sets replyOverRun. Every field
// is read within `length`: a request too short for its fields gets its
// code's failure reply.
uint32_t ProcessHandheldPacket(HandheldTransfer& h, TransferLists& t, Storage& s,
                               bool onMainPage, const uint8_t* packet, uint32_t length);

}  // namespace trelvan
