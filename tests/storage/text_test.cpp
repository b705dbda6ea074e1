// The bounded text and number operations at their bounds and on empty input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "storage/text.h"

namespace trelvan {
namespace {

TEST(CompareText, CountsSignAndEnd) {
  EXPECT_EQ(CompareText("ABC", "ABD", 2), 0);
  EXPECT_EQ(CompareText("ABC", "ABD", 3), -1);
  EXPECT_EQ(CompareText("ABD", "ABC", 3), 1);
  EXPECT_EQ(CompareText("x", "y", 0), 0);
  EXPECT_EQ(CompareText("\x80", "A", 1), -1);  // 0x80 is negative
  EXPECT_EQ(CompareText("AB", "AB", 100), 0);   // both end together
  EXPECT_EQ(CompareText("AB", "ABC", 100), -1);
}

TEST(CopyText, AlwaysTerminatesWithinTheBuffer) {
  char out[8];
  memset(out, 'z', sizeof out);
  EXPECT_EQ(CopyText("0123456789", out, 5), 5);
  EXPECT_STREQ(out, "0123");
  EXPECT_EQ(out[5], 'z');  // nothing beyond the buffer size
  EXPECT_EQ(CopyText("abc", out, 8), 4);
  EXPECT_STREQ(out, "abc");
  out[0] = 'q';
  EXPECT_EQ(CopyText("abc", out, 1), 1);
  EXPECT_EQ(out[0], 0);
  out[0] = 'q';
  EXPECT_EQ(CopyText("abc", out, 0), 1);
  EXPECT_EQ(out[0], 0);
}

TEST(AppendText, AddsBehindTheEnd) {
  char name[300] = "Hello";
  EXPECT_EQ(AppendText("~", name), 6);
  EXPECT_STREQ(name, "Hello~");
  // At most 255 characters are taken from the source.
  const std::string big(400, 'x');
  char out[600] = "";
  EXPECT_EQ(AppendText(big.c_str(), out), 255);
  EXPECT_EQ(strlen(out), 255u);
}

TEST(FindText, FirstPositionOrMinusOne) {
  EXPECT_EQ(FindText("pagefile.rsc", ".rsc"), 8);
  EXPECT_EQ(FindText("abcd.rsc", ".rsc"), 4);
  EXPECT_EQ(FindText("abcd.rsc", ".bmp"), -1);
  EXPECT_EQ(FindText("abc", ""), 0);
  EXPECT_EQ(FindText("abab", "ab"), 0);
  EXPECT_EQ(FindText("xxab", "abc"), -1);  // a partial match at the end is none
  // Positions beyond 255 are not searched.
  std::string far(260, 'a');
  far += ".rsc";
  EXPECT_EQ(FindText(far.c_str(), ".rsc"), -1);
  std::string edge(255, 'a');
  edge += "Z";
  EXPECT_EQ(FindText(edge.c_str(), "Z"), 255);
}

TEST(Bytes, CopyAndLittleEndianRead) {
  const uint8_t src[6] = {1, 0, 2, 0, 0xFF, 7};
  uint8_t dst[6] = {9, 9, 9, 9, 9, 9};
  CopyBytes(src, dst, 5);
  EXPECT_EQ(memcmp(src, dst, 5), 0);
  EXPECT_EQ(dst[5], 9);
  const uint8_t word[4] = {0x78, 0x56, 0x34, 0x12};
  EXPECT_EQ(ReadU32LE(word), 0x12345678u);
  const uint8_t top[4] = {0, 0, 0, 0xFF};
  EXPECT_EQ(ReadU32LE(top), 0xFF000000u);
}

TEST(TextLength, StopsAt256) {
  EXPECT_EQ(TextLength(""), 0);
  const std::string big(300, 'a');
  EXPECT_EQ(TextLength(big.c_str()), 256);
}

TEST(ParseNumber, ReadsRightToLeft) {
  EXPECT_EQ(ParseNumber("12.75"), 12);
  EXPECT_EQ(ParseNumber("-5"), -5);
  EXPECT_EQ(ParseNumber(" 42 "), 42);
  EXPECT_EQ(ParseNumber("\t7"), 7);
  EXPECT_EQ(ParseNumber("4a"), 0);
  EXPECT_EQ(ParseNumber("1-2"), -12);
  EXPECT_EQ(ParseNumber("--3"), 3);
  EXPECT_EQ(ParseNumber(""), 0);
}

TEST(ParseNumber, SaturatesAtTheSixteenBitBounds) {
  const std::pair<const char*, int16_t> cases[] = {
      {"32767", 32767},    {"32768", 32767},   {"99999", 32767},  {"70000", 32767},
      {"65537", 32767},    {"-32768", -32768}, {"-32769", -32768}, {"-40000", -32768},
      {"123456789012345678901234567890", 32767},  {"0000000000000000000042", 42},
      {"99999999999.5", 32767},  {"5.99999999999", 5},  {"-99999", -32768}};
  for (const auto& c : cases) EXPECT_EQ(ParseNumber(c.first), c.second) << c.first;
}

TEST(NumberToText, FiveDigitPositions) {
  struct Case {
    int32_t value;
    const char* text;
  };
  const Case cases[] = {{0, "0"},         {-7, "-7"},        {100, "100"},  {99999, "99999"},
                        {123456, "03456"}, {-123456, "-03456"}, {10, "10"}, {1000000, "00000"}};
  for (const Case& c : cases) {
    char out[16];
    memset(out, 'z', sizeof out);
    EXPECT_EQ(NumberToText(c.value, out), strlen(c.text)) << c.value;
    EXPECT_STREQ(out, c.text);
  }
}

TEST(ClampValue, RaisesLowersOrKeeps) {
  const struct {
    int16_t value, result, clamped;
  } cases[] = {{500, 1, 400}, {-3, -1, 0}, {400, 0, 400}, {0, 0, 0}};
  for (const auto& c : cases) {
    int16_t v = c.value;
    EXPECT_EQ(ClampValue(&v, 0, 400), c.result) << c.value;
    EXPECT_EQ(v, c.clamped) << c.value;
  }
}

TEST(FormatText, FormatsLikePrintfWithinTheBuffer) {
  char out[64];
  EXPECT_EQ(FormatText(out, "ERROR - File %s not found", "a.rsc"), 28);
  EXPECT_STREQ(out, "ERROR - File a.rsc not found");
  // An array is bounded by its size, a pointer by the capacity given.
  char small[8];
  EXPECT_EQ(FormatText(small, "Free Storage = %d%%", 99), 7);
  EXPECT_STREQ(small, "Free St");
  memset(out, 'z', sizeof out);
  EXPECT_EQ(FormatText(out, 5, "%s", "abcdefgh"), 4);
  EXPECT_STREQ(out, "abcd");
  EXPECT_EQ(out[5], 'z');
  EXPECT_EQ(FormatText(out, 0, "%s", "abc"), 0);
  EXPECT_EQ(out[0], 'a');
}

}  // namespace
}  // namespace trelvan
