// Shift-JIS byte classes and match keys: the worked examples and the boundaries.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "matching/matching.h"
#include "native/matching_reference.h"

namespace {

using ref::Hex;

std::string Key(const std::string &source) {
  char key[KEY_BYTES];
  std::memset(key, 0x55, sizeof key);
  BuildMatchKey(source.c_str(), key);
  return key;
}

}  // namespace

TEST(ByteClasses, LeadRunsPairUpFromABoundary) {
  const char kanji[] = "\x88\x9F";  // 亜: its second byte lies in the lead range
  EXPECT_EQ(1, IsLeadByteAt(kanji, 0));
  EXPECT_EQ(0, IsLeadByteAt(kanji, 1));
  EXPECT_EQ(1, IsLeadByteAt("\x82", 0));  // a lone first byte before the NUL
  EXPECT_EQ(0, IsLeadByteAt("A", 0));
  EXPECT_EQ(0, IsLeadByteAt("\xA2", 0));  // half-width katakana
  // Three lead-range bytes after a single byte: first, second, first.
  const char run[] = "A\x88\x9F\x88\x9F";
  EXPECT_EQ(1, IsLeadByteAt(run, 1));
  EXPECT_EQ(0, IsLeadByteAt(run, 2));
  EXPECT_EQ(1, IsLeadByteAt(run, 3));
  EXPECT_EQ(0, IsLeadByteAt(run, 4));
}

TEST(ByteClasses, TypesOfSecondBytes) {
  EXPECT_EQ(1, ByteTypeAt("\x82\x40", 0));
  EXPECT_EQ(2, ByteTypeAt("\x82\x40", 1));
  EXPECT_EQ(-1, ByteTypeAt("\x82\x3F", 1));
  EXPECT_EQ(-1, ByteTypeAt("\x82", 1));       // the NUL after a first byte
  EXPECT_EQ(2, ByteTypeAt("\x82\x7E", 1));
  EXPECT_EQ(-1, ByteTypeAt("\x82\x7F", 1));   // the gap in the trail range
  EXPECT_EQ(2, ByteTypeAt("\x82\x80", 1));
  EXPECT_EQ(2, ByteTypeAt("\x82\xFC", 1));
  EXPECT_EQ(-1, ByteTypeAt("\x82\xFD", 1));
  EXPECT_EQ(2, ByteTypeAt("\x82\xA2", 1));    // い: A2 is a second byte here
  // Index 0 is a boundary whatever the byte.
  EXPECT_EQ(1, ByteTypeAt("\x9F", 0));
  EXPECT_EQ(0, ByteTypeAt("\x40", 0));
  EXPECT_EQ(0, ByteTypeAt("\xA2", 0));
  EXPECT_EQ(0, ByteTypeAt("\xFD", 0));
}

TEST(HalfToFullKana, EveryHalfWidthByteAndTheRest) {
  // The compiler's own code page 932 encoding of the full-width row is the reference.
  for (int b = 0xA1; b <= 0xDF; ++b)
    EXPECT_EQ(ref::HalfToFullKana(static_cast<unsigned char>(b)), HalfToFullKana(static_cast<unsigned char>(b)))
        << std::hex << b;
  EXPECT_EQ(0x4A81, HalfToFullKana(0xDE));  // ゛, first byte in the low bits
  EXPECT_EQ(0x6E83, HalfToFullKana(0xCA));  // ハ 0x836E
  EXPECT_EQ(0x8083, HalfToFullKana(0xD1));  // ム 0x8380, past the 0x7F gap
  for (int b : {0x00, 0x41, 0x7F, 0x80, 0xA0, 0xE0, 0xFF}) EXPECT_EQ(0x9C81, HalfToFullKana(static_cast<unsigned char>(b)));
}

TEST(MatchKey, WorkedExamples) {
  struct Case {
    const char *source, *key;
  };
  const Case cases[] = {
      {"\xB6\xDE\xAF\xC2", "\x83\x4B\x83\x62\x83\x63"},                 // ｶﾞｯﾂ ガッツ
      {"\xCA\xDF\xCA\xDE", "\x83\x70\x83\x6F"},                         // ﾊﾟﾊﾞ パバ
      {"\xCE\xDF\xCB\xDF\xB0", "\x83\x7C\x83\x73\x81\x5B"},             // ﾎﾟﾋﾟｰ ポピー
      {"\xC3\xDE\xA8\xBD\xBA", "\x83\x66\x83\x42\x83\x58\x83\x52"},     // ﾃﾞｨｽｺ ディスコ
      {"\xB3\xDE\xA8", "\x83\x45\x81\x4A\x83\x42"},                     // ｳﾞｨ: no merge after ｳ
      {"Ｍｙ Ｓｏｎｇ_２", "MySong2"},
      {"（Ｌｉｖｅ）", "(Live)"},
      {"My_Song (Live)", "MySong(Live)"},
      {"\x81\x5F\x5F", "\x81\x5F"},                                     // ＼_
      {"\x82\xA2", "\x82\xA2"},                                         // い
      {"\x81\x40" "a b", "\x81\x40" "ab"},
      {"", ""},
  };
  for (const Case &c : cases) EXPECT_EQ(Hex(c.key), Hex(Key(c.source))) << Hex(c.source);
}

TEST(MatchKey, OnlyTheRightKanaTakeMarks) {
  EXPECT_EQ("ウ゛", Key("ｳﾞ"));
  EXPECT_EQ("サ゜", Key("ｻﾟ"));
  EXPECT_EQ("バ゜", Key("ﾊﾞﾟ"));  // one mark merges at most
  EXPECT_EQ("ド", Key("ﾄﾞ"));     // the last of the ｶ-ﾄ rows
  EXPECT_EQ("ナ゛", Key("ﾅﾞ"));
  EXPECT_EQ("ボ", Key("ﾎﾞ"));
  EXPECT_EQ("゛゜", Key("ﾞﾟ"));   // marks standing alone
}

TEST(MatchKey, SecondBytesAreNeverConverted) {
  // A half-width katakana byte, a space, an underscore and a letter as second bytes.
  EXPECT_EQ(Hex("\x88\xB6"), Hex(Key("\x88\xB6")));
  EXPECT_EQ(Hex("\x81\x5F"), Hex(Key("\x81\x5F")));
  EXPECT_EQ(Hex("\x83\x61"), Hex(Key("\x83\x61")));
  // 0x82 0x60 as the second and third bytes of a lead run is not Ａ.
  EXPECT_EQ(Hex("\x88\x82\x60"), Hex(Key("\x88\x82\x60")));
  // The full-width underscore and space pass, only ASCII ones go.
  EXPECT_EQ("＿　", Key("＿　"));
  EXPECT_EQ("ab", Key(" a_b_ "));
  // A lone first byte before the NUL is copied.
  EXPECT_EQ(Hex("A\x82"), Hex(Key("A\x82")));
}

TEST(MatchKey, KeysDoubleTheirSourceAndStopAt255Bytes) {
  EXPECT_EQ(2 * 100u, Key(std::string(100, '\xB1')).size());  // 100 ｱ
  // 127 half-width kana give 254 bytes; 128 would give 256 and lose the last whole one.
  EXPECT_EQ(254u, Key(std::string(127, '\xB1')).size());
  EXPECT_EQ(254u, Key(std::string(128, '\xB1')).size());
  EXPECT_EQ(Key(std::string(127, '\xB1')), Key(std::string(200, '\xB1')));
  EXPECT_EQ(255u, Key(std::string(300, 'a')).size());
  // One single byte, then double-byte characters: the cut falls after a whole one.
  std::string mixed = "a" + std::string(200, '\xB1');
  EXPECT_EQ(255u, Key(mixed).size());
  std::string odd = "ab" + std::string(200, '\xB1');
  std::string cut = Key(odd);
  ASSERT_EQ(254u, cut.size());
  EXPECT_EQ(0, IsLeadByteAt(cut.c_str(), 253));
  // Copied double-byte characters are cut whole as well.
  std::string kanji = "a";
  for (int i = 0; i < 150; ++i) kanji += "表";
  EXPECT_EQ(255u, Key(kanji).size());
  kanji = "ab" + kanji.substr(1);
  EXPECT_EQ(254u, Key(kanji).size());
}

TEST(MatchKey, CutAtCharacter) {
  EXPECT_EQ(3, CutAtCharacter("abc", 5));
  EXPECT_EQ(2, CutAtCharacter("abc", 2));
  EXPECT_EQ(1, CutAtCharacter("a表", 2));  // would split 表
  EXPECT_EQ(3, CutAtCharacter("a表b", 3));
  EXPECT_EQ(0, CutAtCharacter("表", 1));
}
