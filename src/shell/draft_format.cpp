#include "shell/draft_format.h"

#include <cstring>

#include "storage/bytes.h"
#include "storage/journal_format.h"

namespace trelvan {

namespace {

constexpr char kMagic[8] = {'T', 'A', 'D', 'R', 'A', 'F', 'T', '1'};

uint32_t Checksum(const uint8_t* bytes, uint32_t count) {
  const uint64_t h = JournalHash(bytes, count, 0x4452414654ull);
  return static_cast<uint32_t>(h ^ (h >> 32));
}

}  // namespace

uint32_t EncodeDraft(const Draft& d, uint8_t* out) {
  const uint32_t size = d.size < kDraftDataCapacity ? d.size : kDraftDataCapacity;
  std::memset(out, 0, kDraftHeaderSize);
  std::memcpy(out, kMagic, sizeof kMagic);
  out[8] = d.kind;
  out[9] = d.page;
  for (uint32_t i = 0; i + 1 < kDraftNameCapacity && d.name[i]; ++i) out[12 + i] = static_cast<uint8_t>(d.name[i]);
  WriteU32LE(out + 44, size);
  std::memcpy(out + kDraftHeaderSize, d.data, size);
  WriteU32LE(out + kDraftHeaderSize + size, Checksum(out, kDraftHeaderSize + size));
  return kDraftHeaderSize + size + 4;
}

bool DecodeDraft(const uint8_t* in, uint32_t count, Draft* out) {
  if (count < kDraftHeaderSize + 4 || std::memcmp(in, kMagic, sizeof kMagic) != 0) return false;
  const uint32_t size = ReadU32LE(in + 44);
  if (size > kDraftDataCapacity || count != kDraftHeaderSize + size + 4) return false;
  if (ReadU32LE(in + kDraftHeaderSize + size) != Checksum(in, kDraftHeaderSize + size)) return false;
  if (in[8] != kDraftProject && in[8] != kDraftLightEffect) return false;
  out->kind = in[8];
  out->page = in[9];
  std::memcpy(out->name, in + 12, kDraftNameCapacity);
  out->name[kDraftNameCapacity - 1] = 0;
  out->size = size;
  std::memcpy(out->data, in + kDraftHeaderSize, size);
  return true;
}

}  // namespace trelvan
