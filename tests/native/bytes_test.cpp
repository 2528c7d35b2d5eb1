// The byte classes every floor shares: the bounds of each class and the folds.
#include <gtest/gtest.h>

#include "base/bytes.h"

TEST(Bytes, LeadAndTrailBounds) {
  const struct {
    unsigned char b;
    bool lead, trail;
  } cases[] = {
      {0x3F, false, false}, {0x40, false, true}, {0x5C, false, true},  {0x7E, false, true},
      {0x7F, false, false}, {0x80, false, true}, {0x81, true, true},   {0x9F, true, true},
      {0xA0, false, true},  {0xA1, false, true}, {0xDF, false, true},  {0xE0, true, true},
      {0xFC, true, true},   {0xFD, false, false}, {0xFF, false, false}, {0x00, false, false},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.lead, IsLeadRangeByte(c.b)) << std::hex << int(c.b);
    EXPECT_EQ(c.trail, IsTrailRangeByte(c.b)) << std::hex << int(c.b);
  }
}

TEST(Bytes, CharactersWalkWhole) {
  const struct {
    const char *text;
    int at, bytes;
  } cases[] = {
      {"\x82\xA0", 0, 2},  // あ
      {"\x88\x9F", 0, 2},  // 亜: a second byte in the lead range
      {"\x83\x5C", 0, 2},  // ソ: a second byte that is '\'
      {"\x82", 0, 1},      // a first byte before the NUL stands alone
      {"a\x82", 1, 1},
      {"\xB1", 0, 1},      // half-width katakana
      {"ab", 0, 1},
  };
  for (const auto &c : cases) EXPECT_EQ(c.bytes, CharBytesAt(c.text, c.at)) << c.text << " at " << c.at;
}

TEST(Bytes, LastSingleByteIsNeverASecondByte) {
  const struct {
    const char *text;
    char byte;
    int at;  // -1: none
  } cases[] = {
      {"a\\b\\c", '\\', 3}, {"\x83\x5C", '\\', -1}, {"\x83\x5C\\x", '\\', 2}, {"a.b.c", '.', 3}, {"", '.', -1},
  };
  for (const auto &c : cases) {
    const char *found = LastSingleByte(c.text, c.byte);
    EXPECT_EQ(c.at, found ? static_cast<int>(found - c.text) : -1) << c.text;
  }
}

TEST(Bytes, AsciiClassesAndFolds) {
  const struct {
    char c;
    bool letter, digit, blank;
    char upper, lower;
  } cases[] = {
      {'a', true, false, false, 'A', 'a'},   {'z', true, false, false, 'Z', 'z'},
      {'A', true, false, false, 'A', 'a'},   {'Z', true, false, false, 'Z', 'z'},
      {'`', false, false, false, '`', '`'},  {'{', false, false, false, '{', '{'},
      {'@', false, false, false, '@', '@'},  {'[', false, false, false, '[', '['},
      {'0', false, true, false, '0', '0'},   {'9', false, true, false, '9', '9'},
      {'/', false, false, false, '/', '/'},  {':', false, false, false, ':', ':'},
      {' ', false, false, true, ' ', ' '},   {'\t', false, false, true, '\t', '\t'},
      {'\n', false, false, false, '\n', '\n'},
      {'\x82', false, false, false, '\x82', '\x82'},  // bytes above ASCII never fold
      {'\xE1', false, false, false, '\xE1', '\xE1'},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.letter, IsAsciiLetter(c.c)) << int(c.c);
    EXPECT_EQ(c.digit, IsAsciiDigit(c.c)) << int(c.c);
    EXPECT_EQ(c.blank, IsBlank(c.c)) << int(c.c);
    EXPECT_EQ(c.upper, UpperAscii(c.c)) << int(c.c);
    EXPECT_EQ(c.lower, LowerAscii(c.c)) << int(c.c);
  }
}
