// The bounded text and number operations at their bounds and on empty input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "storage/text.h"

namespace trelvan {
namespace {

TEST(Text, CompareFindAndLengthAtTheirBounds) {
  const struct { const char *a, *b; uint16_t count; int order; } compares[] = {
      {"ABC", "ABD", 2, 0},  {"ABC", "ABD", 3, -1}, {"ABD", "ABC", 3, 1}, {"x", "y", 0, 0},
      {"\x80", "A", 1, -1},  // 0x80 is negative
      {"AB", "AB", 100, 0},  {"AB", "ABC", 100, -1}};
  for (const auto& c : compares) EXPECT_EQ(CompareText(c.a, c.b, c.count), c.order) << c.a << c.b;
  const std::string far = std::string(260, 'a') + ".rsc", edge = std::string(255, 'a') + "Z";
  const struct { const char *text, *part; int at; } finds[] = {
      {"pagefile.rsc", ".rsc", 8}, {"abcd.rsc", ".bmp", -1}, {"abc", "", 0}, {"abab", "ab", 0},
      {"xxab", "abc", -1},         // a partial match at the end is none
      {far.c_str(), ".rsc", -1},   // positions beyond 255 are not searched
      {edge.c_str(), "Z", 255}};
  for (const auto& f : finds) EXPECT_EQ(FindText(f.text, f.part), f.at) << f.part;
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength(std::string(300, 'a').c_str()), 256);
}

TEST(Text, CopiesStayWithinTheirBuffers) {
  char out[8];
  memset(out, 'z', sizeof out);
  EXPECT_EQ(CopyText("0123456789", out, 5), 5);
  EXPECT_STREQ(out, "0123");
  EXPECT_EQ(out[5], 'z');  // nothing beyond the buffer size
  EXPECT_EQ(CopyText("abc", out, 8), 4);
  EXPECT_STREQ(out, "abc");
  for (uint16_t size : {1, 0}) {
    out[0] = 'q';
    EXPECT_EQ(CopyText("abc", out, size), 1);
    EXPECT_EQ(out[0], 0);
  }
  char name[300] = "Hello";
  EXPECT_EQ(AppendText("~", name), 6);
  EXPECT_STREQ(name, "Hello~");
  char big[600] = "";
  EXPECT_EQ(AppendText(std::string(400, 'x').c_str(), big), 255);  // at most 255 taken
  EXPECT_EQ(strlen(big), 255u);

  const uint8_t src[6] = {1, 0, 2, 0, 0xFF, 7};
  uint8_t dst[6] = {9, 9, 9, 9, 9, 9};
  CopyBytes(src, dst, 5);
  EXPECT_EQ(memcmp(src, dst, 5), 0);
  EXPECT_EQ(dst[5], 9);

  char formatted[64];
  EXPECT_EQ(FormatText(formatted, "ERROR - File %s not found", "a.rsc"), 28);
  EXPECT_STREQ(formatted, "ERROR - File a.rsc not found");
  char small[8];  // an array is bounded by its size, a pointer by the capacity given
  EXPECT_EQ(FormatText(small, "Free Storage = %d%%", 99), 7);
  EXPECT_STREQ(small, "Free St");
  memset(formatted, 'z', sizeof formatted);
  EXPECT_EQ(FormatText(formatted, 5, "%s", "abcdefgh"), 4);
  EXPECT_STREQ(formatted, "abcd");
  EXPECT_EQ(formatted[5], 'z');
  EXPECT_EQ(FormatText(formatted, 0, "%s", "abc"), 0);
  EXPECT_EQ(formatted[0], 'a');

  // a typed name gets one "~": a typed one is not doubled, the cut keeps room for it
  const struct { const char* typed; const char* stored; } names[] = {
      {"horn", "horn~"}, {"horn~", "horn~"}, {"horn~~", "horn~"}, {"a~b", "a~b~"},
      {"~", "~"}, {"abcdefgh", "abcde~"}, {"abcde~~", "abcde~"}};
  for (const auto& n : names) {
    char stored[8];
    memset(stored, 'z', sizeof stored);
    TypedFileName(n.typed, stored, 5);
    EXPECT_STREQ(stored, n.stored) << n.typed;
  }
}

// Numbers read right to left and saturate at the sixteen-bit bounds.
// A cut leaves whole characters: an unfinished one at the end goes, a
// finished one and bytes that start no character stay.
TEST(Text, EndsOnAWholeCharacter) {
  const struct { const char *text, *kept; } cases[] = {
      {"ab\xC3\xA9", "ab\xC3\xA9"}, {"ab\xC3", "ab"}, {"a\xE2\x82", "a"},
      {"a\xE2\x82\xAC", "a\xE2\x82\xAC"}, {"\xF0\x9F\x98", ""}, {"a\x80\x80", "a\x80\x80"},
      {"", ""}};
  for (const auto& c : cases) {
    char text[16];
    std::strcpy(text, c.text);
    EXPECT_EQ(EndOnWholeCharacter(text), std::strlen(c.kept)) << c.text;
    EXPECT_STREQ(text, c.kept);
  }
}

TEST(Numbers, ParseSaturatesAndTextKeepsFiveDigits) {
  const struct { const char* text; int16_t value; } parsed[] = {
      {"12.75", 12}, {"-5", -5}, {" 42 ", 42}, {"\t7", 7}, {"4a", 0}, {"1-2", -12}, {"--3", 3},
      {"", 0}, {"32767", 32767}, {"32768", 32767}, {"70000", 32767}, {"65537", 32767},
      {"-32768", -32768}, {"-32769", -32768}, {"-99999", -32768},
      {"123456789012345678901234567890", 32767}, {"0000000000000000000042", 42},
      {"99999999999.5", 32767}, {"5.99999999999", 5}};
  for (const auto& c : parsed) EXPECT_EQ(ParseNumber(c.text), c.value) << c.text;
  const struct { int32_t value; const char* text; } written[] = {
      {0, "0"}, {-7, "-7"}, {100, "100"}, {99999, "99999"}, {123456, "03456"},
      {-123456, "-03456"}, {10, "10"}, {1000000, "00000"}};
  for (const auto& c : written) {
    char out[16];
    memset(out, 'z', sizeof out);
    EXPECT_EQ(NumberToText(c.value, out), strlen(c.text)) << c.value;
    EXPECT_STREQ(out, c.text);
  }
}

}  // namespace
}  // namespace trelvan
