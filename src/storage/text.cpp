#include "storage/text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace trelvan {

int CompareText(const char* a, const char* b, uint16_t n) {
  for (uint16_t i = 0; i < n; ++i) {
    const int8_t ca = static_cast<int8_t>(a[i]);
    const int8_t cb = static_cast<int8_t>(b[i]);
    if (ca != cb) return ca > cb ? 1 : -1;
    if (ca == 0) return 0;
  }
  return 0;
}

uint16_t CopyText(const char* source, char* destination, uint16_t n) {
  uint16_t i = 0;
  while (n > 1 && i < n - 1 && source[i] != 0) {
    destination[i] = source[i];
    ++i;
  }
  destination[i] = 0;
  return static_cast<uint16_t>(i + 1);
}

uint16_t AppendText(const char* source, char* destination) {
  uint16_t end = TextLength(destination);
  for (uint16_t i = 0; i < 255 && source[i] != 0; ++i) destination[end++] = source[i];
  destination[end] = 0;
  return end;
}

void TypedFileName(const char* typed, char* out, uint16_t keep) {
  uint16_t n = TextLength(typed);
  while (n > 0 && typed[n - 1] == '~') --n;
  if (n > keep) n = keep;
  CopyBytes(typed, out, n);
  out[n] = '~';
  out[n + 1] = 0;
}

size_t EndOnWholeCharacter(char* text) {
  size_t n = std::strlen(text);
  // Back over up to three continuation bytes to the character's lead byte.
  size_t lead = n;
  while (lead > 0 && n - lead < 4 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) {
    --lead;
  }
  if (lead == 0) return n;
  const unsigned char c = static_cast<unsigned char>(text[lead - 1]);
  const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  if (c >= 0xC0 && n - (lead - 1) < length) {
    n = lead - 1;
    text[n] = 0;
  }
  return n;
}

int16_t FindText(const char* text, const char* pattern) {
  const uint16_t patternLength = TextLength(pattern);
  if (patternLength == 0) return 0;
  for (uint16_t p = 0; p < kTextScanLimit && text[p] != 0; ++p) {
    uint16_t k = 0;
    while (k < patternLength && text[p + k] == pattern[k]) ++k;
    if (k == patternLength) return static_cast<int16_t>(p);
  }
  return -1;
}

void CopyBytes(const void* source, void* destination, uint16_t count) {
  const uint8_t* s = static_cast<const uint8_t*>(source);
  uint8_t* d = static_cast<uint8_t*>(destination);
  for (uint16_t i = 0; i < count; ++i) d[i] = s[i];
}

uint16_t TextLength(const char* text) {
  uint16_t n = 0;
  while (n < kTextScanLimit && text[n] != 0) ++n;
  return n;
}

int16_t ParseNumber(const char* text) {
  // Value and place stop growing at kBeyond, which lies past both ends of
  // the 16-bit range, so no run of digits can wrap them.
  constexpr uint32_t kBeyond = 100000;
  int32_t sign = 1;
  uint32_t value = 0;
  uint32_t place = 1;
  for (int i = TextLength(text) - 1; i >= 0; --i) {
    const char c = text[i];
    if (c == ' ' || c == '\t') continue;
    if (c == '-') {
      sign = -sign;
    } else if (c == '.') {
      value = 0;
      place = 1;
    } else if (c >= '0' && c <= '9') {
      value += static_cast<uint32_t>(c - '0') * place;
      if (value > kBeyond) value = kBeyond;
      if (place < kBeyond) place *= 10;
    } else {
      return 0;
    }
  }
  const int32_t result = sign * static_cast<int32_t>(value);
  if (result > INT16_MAX) return INT16_MAX;
  if (result < INT16_MIN) return INT16_MIN;
  return static_cast<int16_t>(result);
}

uint16_t NumberToText(int32_t value, char* out) {
  uint16_t n = 0;
  if (value == 0) {
    out[n++] = '0';
    out[n] = 0;
    return n;
  }
  uint32_t rest = static_cast<uint32_t>(value);
  if (value < 0) {
    out[n++] = '-';
    rest = 0u - rest;
  }
  bool started = false;
  for (uint32_t divisor : {10000u, 1000u, 100u, 10u, 1u}) {
    uint32_t digit = rest / divisor;
    rest %= divisor;
    if (digit != 0) started = true;
    if (digit > 9) digit = 0;  // only the first divisor can give more
    if (started) out[n++] = static_cast<char>('0' + digit);
  }
  out[n] = 0;
  return n;
}

int FormatTextV(char* out, size_t capacity, const char* format, va_list args) {
  if (capacity == 0) return 0;
  const int n = vsnprintf(out, capacity, format, args);
  out[capacity - 1] = 0;  // some C libraries leave a cut text unterminated
  if (n >= 0 && static_cast<size_t>(n) < capacity) return n;
  int length = 0;
  while (static_cast<size_t>(length) < capacity - 1 && out[length] != 0) ++length;
  return length;
}

int FormatText(char* out, size_t capacity, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = FormatTextV(out, capacity, format, args);
  va_end(args);
  return n;
}

}  // namespace trelvan
