// Bounded text and number operations. Every text is 8-bit characters ending
// in a zero byte inside a caller's fixed buffer; every operation has a fixed
// bound on how far it reads or writes (256 bytes for lengths, n for counted
// operations) and allocates nothing.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "storage/bytes.h"

namespace trelvan {

constexpr uint16_t kTextScanLimit = 256;
// A stored file's name with its zero: at most 31 characters.
constexpr int kFileNameCapacity = 32;

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
// A stored name from a typed one: at most `keep` characters of `typed`
// without the "~" signs at its end, then one "~" (the sign ends every name
// the user gives; typing it too must not double it). `out` holds keep + 2.
void TypedFileName(const char* typed, char* out, uint16_t keep);

// Drops an unfinished UTF-8 character from the end of `text` (as a cut to a
// buffer's size leaves one), so what is shown or stored ends on a whole
// character. Returns the new length.
size_t EndOnWholeCharacter(char* text);
// First position 0..255 where the whole pattern matches; 0 for an empty
// pattern; -1 when none matches.
int16_t FindText(const char* text, const char* pattern);
void CopyBytes(const void* source, void* destination, uint16_t count);
uint16_t TextLength(const char* text);
// The signed 16-bit value of a decimal text read from its end: blanks and
// tabs skipped, each "-" flips the sign, a "." drops what lies right of it.
// Beyond the 16-bit range it saturates at -32768 and 32767; 0 for an empty
// text or any other character.
int16_t ParseNumber(const char* text);
// Writes value in decimal (at most five digit positions); returns the
// characters written, sign included.
uint16_t NumberToText(int32_t value, char* out);
// printf-style formatting into `out` of `capacity` bytes: at most
// capacity - 1 characters and the terminator, nothing when capacity is 0.
// Returns the characters written.
int FormatTextV(char* out, size_t capacity, const char* format, va_list args);
int FormatText(char* out, size_t capacity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// The same into a character array, bounded by its size.
template <size_t N>
__attribute__((format(printf, 2, 3))) int FormatText(char (&out)[N], const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = FormatTextV(out, N, format, args);
  va_end(args);
  return n;
}

}  // namespace trelvan
