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

bool WholeUnit(uint32_t offset) { return offset % kUnitSize == 0 && offset <= kImageSize - kUnitSize; }

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

void ReadUnit(const Storage& s, uint32_t offset, uint8_t* out) {
  const uint8_t* src = s.image + (offset & kImageMask & ~(kUnitSize - 1));
  for (uint32_t i = 0; i < kUnitSize; i += 8) {
    Store64(out + i, SubtractBytes(Load64(src + i), Load64(s.key + i)));
  }
}

void ProgramUnit(Storage& s, uint32_t offset, const uint8_t* data) {
  uint8_t* dst = s.image + (offset & kImageMask & ~(kUnitSize - 1));
  MarkBlockChanged(s.changed, (offset & kImageMask) / kBlockSize);
  for (uint32_t i = 0; i < kUnitSize; i += 8) {
    const uint64_t k = Load64(s.key + i);
    const uint64_t oldPlain = SubtractBytes(Load64(dst + i), k);
    Store64(dst + i, AddBytes(Load64(data + i), k) & oldPlain);
  }
}

void ReadPlain(const Storage& s, uint32_t offset, uint8_t* out, uint32_t count) {
  offset &= kImageMask;
  while (count > 0 && !WholeUnit(offset)) {
    *out++ = ReadPlainByte(s, offset);
    offset = (offset + 1) & kImageMask;
    --count;
  }
  while (count >= kUnitSize && WholeUnit(offset)) {
    ReadUnit(s, offset, out);
    out += kUnitSize;
    offset = (offset + kUnitSize) & kImageMask;
    count -= kUnitSize;
  }
  for (; count > 0; --count) {
    *out++ = ReadPlainByte(s, offset);
    offset = (offset + 1) & kImageMask;
  }
}

void ProgramPlain(Storage& s, uint32_t offset, const uint8_t* data, uint32_t count) {
  offset &= kImageMask;
  while (count > 0 && !WholeUnit(offset)) {
    ProgramPlainByte(s, offset, *data++);
    offset = (offset + 1) & kImageMask;
    --count;
  }
  while (count >= kUnitSize && WholeUnit(offset)) {
    ProgramUnit(s, offset, data);
    data += kUnitSize;
    offset = (offset + kUnitSize) & kImageMask;
    count -= kUnitSize;
  }
  for (; count > 0; --count) {
    ProgramPlainByte(s, offset, *data++);
    offset = (offset + 1) & kImageMask;
  }
}

}  // namespace trelvan
