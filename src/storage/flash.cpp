#include "storage/flash.h"

#include <cstring>

namespace trelvan {

const char kStorageKey[kKeySize + 1] =
    "1g@m]I,&oH{``>nN2G1Y|Ca#4#M8}N8ZxE723z=N5Nzs6Lr<pqZyCnVWR_ETY4aG"
    "B6V&4wj=|8!$RT:,o`;%yN_,|7ec=i-msk9m,B 0@.E9#UisZc8<9C]3BK>~ia'u"
    "uyRwjGb4> Gr}~.t]YyC.I/iEGBv[fe9|&i-th!bw42r!)xQk>pU7(bFVUOp@`uo"
    "i[}/g%V8Wee)yiaIp_MnrJR+2,_uk3zX=MgMLn`/:aA:+iE$C.%Xa|6H*%G9~Our";
static_assert(sizeof kStorageKey == kKeySize + 1, "the key has 256 characters");

namespace {

// ---- byte-wise arithmetic on eight bytes at once ------------------------------
constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
constexpr uint64_t kHigh = 0x8080808080808080ull;

inline uint64_t AddBytes(uint64_t a, uint64_t b) {
  return ((a & kLow7) + (b & kLow7)) ^ ((a ^ b) & kHigh);
}
inline uint64_t SubtractBytes(uint64_t a, uint64_t b) {
  return ((a | kHigh) - (b & kLow7)) ^ ((a ^ ~b) & kHigh);
}
inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void Store64(uint8_t* p, uint64_t v) { std::memcpy(p, &v, sizeof v); }

}  // namespace

// ---- key, erase ---------------------------------------------------------------

void PrepareKey(Storage& s) {
  std::memcpy(s.key, kStorageKey, kKeySize);
  for (uint32_t i = 0; i < kBlockSize; ++i) {
    s.erasedBlock[i] = static_cast<uint8_t>(s.key[i % kKeySize] - 1);  // plain 0xFF
  }
}

void EraseBlock(Storage& s, uint16_t block) {
  std::memcpy(s.image + static_cast<uint32_t>(block % kBlockCount) * kBlockSize, s.erasedBlock,
              kBlockSize);
  MarkBlockChanged(s.changed, block % kBlockCount);
}

void CopyBlock(Storage& s, uint16_t destination, uint16_t source) {
  std::memcpy(s.image + static_cast<uint32_t>(destination % kBlockCount) * kBlockSize,
              s.image + static_cast<uint32_t>(source % kBlockCount) * kBlockSize, kBlockSize);
  MarkBlockChanged(s.changed, destination % kBlockCount);
}

void EraseBlockFront(Storage& s, uint16_t block, uint32_t count) {
  std::memcpy(s.image + static_cast<uint32_t>(block % kBlockCount) * kBlockSize, s.erasedBlock,
              count < kBlockSize ? count : kBlockSize);
  MarkBlockChanged(s.changed, block % kBlockCount);
}

void EraseImage(Storage& s) {
  for (uint32_t b = 0; b < kBlockCount; ++b) EraseBlock(s, static_cast<uint16_t>(b));
}

// ---- units --------------------------------------------------------------------

namespace {

// A span inside one unit: the aligned words in it at once, the bytes around
// them one by one. A unit never crosses the image's end, so nothing wraps.
void ReadSpan(const Storage& s, uint32_t offset, uint8_t* out, uint32_t count) {
  for (; count > 0 && offset % 8 != 0; --count) *out++ = ReadPlainByte(s, offset++);
  for (; count >= 8; count -= 8, offset += 8, out += 8) {
    Store64(out, SubtractBytes(Load64(s.image + offset), Load64(s.key + offset % kKeySize)));
  }
  for (; count > 0; --count) *out++ = ReadPlainByte(s, offset++);
}

void ProgramSpan(Storage& s, uint32_t offset, const uint8_t* data, uint32_t count) {
  MarkBlockChanged(s.changed, offset / kBlockSize);
  for (; count > 0 && offset % 8 != 0; --count) ProgramPlainByte(s, offset++, *data++);
  for (; count >= 8; count -= 8, offset += 8, data += 8) {
    const uint64_t k = Load64(s.key + offset % kKeySize);
    const uint64_t oldPlain = SubtractBytes(Load64(s.image + offset), k);
    Store64(s.image + offset, AddBytes(Load64(data), k) & oldPlain);
  }
  for (; count > 0; --count) ProgramPlainByte(s, offset++, *data++);
}

// The bytes from `offset` to the end of its unit, at most `count`.
uint32_t InUnit(uint32_t offset, uint32_t count) {
  const uint32_t left = kUnitSize - offset % kUnitSize;
  return count < left ? count : left;
}

uint32_t UnitStart(uint32_t offset) { return offset & kImageMask & ~(kUnitSize - 1); }

}  // namespace

void ReadUnit(const Storage& s, uint32_t offset, uint8_t* out) {
  ReadSpan(s, UnitStart(offset), out, kUnitSize);
}

void ProgramUnit(Storage& s, uint32_t offset, const uint8_t* data) {
  ProgramSpan(s, UnitStart(offset), data, kUnitSize);
}

void ReadPlain(const Storage& s, uint32_t offset, uint8_t* out, uint32_t count) {
  for (offset &= kImageMask; count > 0;) {
    const uint32_t n = InUnit(offset, count);
    ReadSpan(s, offset, out, n);
    out += n;
    count -= n;
    offset = (offset + n) & kImageMask;
  }
}

void ProgramPlain(Storage& s, uint32_t offset, const uint8_t* data, uint32_t count) {
  for (offset &= kImageMask; count > 0;) {
    const uint32_t n = InUnit(offset, count);
    ProgramSpan(s, offset, data, n);
    data += n;
    count -= n;
    offset = (offset + n) & kImageMask;
  }
}

}  // namespace trelvan
