// Bounded text and number operations. Every text is 8-bit characters ending
// in a zero byte inside a caller's fixed buffer; every operation has a fixed
// bound on how far it reads or writes (256 bytes for lengths, n for counted
// operations) and allocates nothing.
#pragma once

#include <cstdint>

namespace trelvan {

constexpr uint16_t kTextScanLimit = 256;

// 0 when equal over n positions or when both end together; else 1 or -1 at
// the first difference, characters compared as signed 8-bit values.
int CompareText(const char* a, const char* b, uint16_t n);
// Copies at most n - 1 characters and always terminates (for n >= 1 a
// terminator is written; for n == 0 too, as a single byte). Returns the
// characters copied plus 1.
uint16_t CopyText(const char* source, char* destination, uint16_t n);
// Appends at most 255 characters behind the destination's end (found within
// 256 bytes). Returns the destination's new length.
uint16_t AppendText(const char* source, char* destination);
// First position 0..255 where the whole pattern matches; 0 for an empty
// pattern; -1 when none matches.
int16_t FindText(const char* text, const char* pattern);
void CopyBytes(const void* source, void* destination, uint16_t count);
uint32_t ReadU32LE(const uint8_t* bytes);
uint16_t TextLength(const char* text);
int16_t ParseNumber(const char* text);
// Writes value in decimal (at most five digit positions); returns the
// characters written, sign included.
uint16_t NumberToText(int32_t value, char* out);
// Keeps *value (signed 16-bit) within low..high: -1 raised, 1 lowered, 0 kept.
int ClampValue(int16_t* value, int16_t low, int16_t high);
// printf-style formatting; the caller's buffer must be large enough.
int FormatText(char* out, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace trelvan
