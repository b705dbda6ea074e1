#include "storage/text.h"

#include <cstdarg>
#include <cstdio>
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

uint32_t ReadU32LE(const uint8_t* b) {
  return b[0] | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
         (static_cast<uint32_t>(b[3]) << 24);
}

uint16_t TextLength(const char* text) {
  uint16_t n = 0;
  while (n < kTextScanLimit && text[n] != 0) ++n;
  return n;
}

int16_t ParseNumber(const char* text) {
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
      place *= 10;
    } else {
      return 0;
    }
  }
  // The low 16 bits of sign x value, taken as signed.
  const uint32_t result = sign < 0 ? 0u - value : value;
  return static_cast<int16_t>(static_cast<uint16_t>(result & 0xFFFFu));
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

int ClampValue(int16_t* value, int16_t low, int16_t high) {
  if (*value < low) {
    *value = low;
    return -1;
  }
  if (*value > high) {
    *value = high;
    return 1;
  }
  return 0;
}

int FormatText(char* out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = vsprintf(out, format, args);
  va_end(args);
  return n;
}

}  // namespace trelvan
