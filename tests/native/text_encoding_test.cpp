// Which encoding a text is read in, and that a UTF-8 or UTF-16 text loads to the very
// rows of its Shift-JIS twin; characters code page 932 lacks. String literals here are
// code page 932 bytes; u8"" and u"" literals are UTF-8 and UTF-16.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/code_page_932.h"
#include "native/text_pieces.h"
#include "textview/text_encoding.h"
#include "textview/textbuffer.h"

namespace {

const std::string Utf8Mark = "\xEF\xBB\xBF";

std::string Utf16(const std::u16string &text, bool littleEndian) {
  std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (char16_t unit : text) {
    char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    bytes += littleEndian ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

// A literal with the NULs inside it.
template <size_t N>
std::string Bytes(const char (&text)[N]) { return std::string(text, N - 1); }
template <size_t N>
std::u16string Units(const char16_t (&text)[N]) { return std::u16string(text, N - 1); }

template <typename S>
S Times(int n, const S &piece) {
  S out;
  for (int i = 0; i < n; i++) out += piece;
  return out;
}

void Load(const std::string &bytes) { LoadInEveryPieceSize(bytes, TestCodePage932); }

struct Snapshot {
  std::vector<std::string> rows;
  int longest;
  int wideRows;
};

Snapshot Take() {
  Snapshot s{{}, TextBuffer.longest, 0};
  for (int i = 0; i < TextBuffer.lineCount; i++) {
    s.rows.push_back(TextBuffer.rows[i]);
    if (TextBuffer.wideUnits[i]) s.wideRows++;
  }
  return s;
}

std::u16string Wide(int row) {
  const unsigned short *units = TextBuffer.wide[row];
  return std::u16string(units, units + TextBuffer.wideUnits[row]);
}

}  // namespace

TEST(TextEncoding, DetectionRules) {
  struct Case {
    const char *what;
    std::string bytes;
    int encoding;
    int mark;
  } cases[] = {
      {"empty", "", TEXT_SHIFT_JIS, 0},
      {"ASCII only", "abc\r\n[00:01]x\n", TEXT_SHIFT_JIS, 0},
      {"UTF-8 without a mark", u8"さくら\n", TEXT_UTF8, 0},
      {"UTF-8 four-byte sequence", u8"a🎵", TEXT_UTF8, 0},
      {"UTF-8 mark", Utf8Mark + "abc", TEXT_UTF8_BOM, 3},
      {"UTF-8 mark with invalid bytes after it", Utf8Mark + "\x82\xA0", TEXT_UTF8_BOM, 3},
      {"UTF-16 LE mark", "\xFF\xFE" "a\0", TEXT_UTF16_LE, 2},
      {"UTF-16 BE mark", "\xFE\xFF" "\0a", TEXT_UTF16_BE, 2},
      {"Shift-JIS kana and kanji", "さくら 弥生の空は\n", TEXT_SHIFT_JIS, 0},
      {"Shift-JIS half-width kana", "ｻｸﾗｻｸﾗ", TEXT_SHIFT_JIS, 0},
      {"valid UTF-8 then one stray byte", u8"さくら" "\x82", TEXT_SHIFT_JIS, 0},
      {"sequence cut by the end", "ab\xE3\x81", TEXT_SHIFT_JIS, 0},
      {"overlong form", "\xC0\xAF", TEXT_SHIFT_JIS, 0},
      {"overlong three-byte form", "\xE0\x80\xAF", TEXT_SHIFT_JIS, 0},
      {"surrogate", "\xED\xA0\x80", TEXT_SHIFT_JIS, 0},
      {"above U+10FFFF", "\xF4\x90\x80\x80", TEXT_SHIFT_JIS, 0},
      {"half a UTF-8 mark", "\xEF\xBB", TEXT_SHIFT_JIS, 0},
      {"a lone FF", "\xFF", TEXT_SHIFT_JIS, 0},
  };
  for (const Case &c : cases) {
    int mark = -1;
    EXPECT_EQ(c.encoding, DetectTextEncoding(reinterpret_cast<const unsigned char *>(c.bytes.data()),
                                             c.bytes.size(), &mark))
        << c.what;
    EXPECT_EQ(c.mark, mark) << c.what;
  }
}

// Every twin of a Shift-JIS text loads to the same rows, cuts and longest row, and
// none of its rows needs the wide path.
TEST(TextEncoding, TwinsLoadToTheRowsOfTheShiftJisText) {
  struct Twin {
    const char *what;
    std::string shiftJis;
    std::string utf8;
    std::u16string utf16;
  } twins[] = {
      {"lines with CR LF", "さくら さくら\r\n野山も里も\r\nABC ｻｸﾗ\r\n", u8"さくら さくら\r\n野山も里も\r\nABC ｻｸﾗ\r\n",
       u"さくら さくら\r\n野山も里も\r\nABC ｻｸﾗ\r\n"},
      {"a line cut inside a character", std::string(98, 'a') + "あい\n", std::string(98, 'a') + u8"あい\n",
       std::u16string(98, u'a') + u"あい\n"},
      // One letter and sixty 兎: cut after 99 bytes, inside a character.
      {"a long line of kanji", "a" + Times(60, std::string("兎")), "a" + Times(60, std::string(u8"兎")),
       u"a" + Times(60, std::u16string(u"兎"))},
      {"end-of-text byte and NUL", Bytes("故郷\0隠\n見える\x1Aない"), Bytes(u8"故郷\0隠\n見える\x1Aない"),
       Units(u"故郷\0隠\n見える\x1Aない")},
  };
  for (const Twin &twin : twins) {
    Load(twin.shiftJis);
    const Snapshot expected = Take();
    ASSERT_GT(expected.rows.size(), 1u) << twin.what;
    EXPECT_EQ(0, expected.wideRows) << twin.what;
    const std::string forms[] = {twin.utf8, Utf8Mark + twin.utf8, Utf16(twin.utf16, true),
                                 Utf16(twin.utf16, false)};
    for (const std::string &form : forms) {
      Load(form);
      const Snapshot got = Take();
      EXPECT_EQ(expected.rows, got.rows) << twin.what;
      EXPECT_EQ(expected.longest, got.longest) << twin.what;
      EXPECT_EQ(0, got.wideRows) << twin.what;
    }
  }
}

// A character code page 932 lacks stands as two bytes in the row and is kept, with the
// rest of its row, as UTF-16 for drawing; it never becomes "?".
TEST(TextEncoding, CharactersOutsideCodePage932AreKeptAsThemselves) {
  struct Case {
    const char *what;
    std::string bytes;
    int longest;
    std::vector<std::u16string> wide;  // per row; empty: drawn from its bytes
  } cases[] = {
      {"accented letter", u8"café\nplain\n", 5, {u"café", u""}},
      {"hangul beside kana", u8"한글かな", 8, {u"한글かな"}},
      {"emoji as a surrogate pair", u8"♪🎵", 4, {u"♪🎵"}},
      {"UTF-16 LE", Utf16(u"é", true), 2, {u"é"}},
      {"a surrogate pair in UTF-16 BE", Utf16(u"a🎵b", false), 4, {u"a🎵b"}},
      {"unpaired surrogate in UTF-16", Utf16(std::u16string{0xD800, u'A'}, true), 3, {u"\xFFFD" u"A"}},
      {"invalid byte after a UTF-8 mark", Utf8Mark + "a\xFF" "b", 4, {u"a\xFFFD" u"b"}},
      // Cut after 99 bytes: é begins at the last byte and is drawn whole there; its
      // second byte opens the next row, which draws only what follows it.
      {"cut inside such a character", std::string(98, 'x') + u8"éb", 99,
       {std::u16string(98, u'x') + u"é", u"b"}},
  };
  for (const Case &c : cases) {
    Load(c.bytes);
    ASSERT_EQ(c.wide.size(), static_cast<size_t>(TextBuffer.lineCount)) << c.what;
    EXPECT_EQ(c.longest, TextBuffer.longest) << c.what;
    for (size_t row = 0; row < c.wide.size(); row++) EXPECT_EQ(c.wide[row], Wide(static_cast<int>(row))) << c.what << " row " << row;
    EXPECT_EQ(std::string::npos, std::string(TextBuffer.rows[0]).find('?')) << c.what;
  }
  // Without a table only ASCII is known: kana are kept wide rather than lost.
  LoadInEveryPieceSize(u8"かな");
  ASSERT_EQ(1, TextBuffer.lineCount);
  EXPECT_EQ(u"かな", Wide(0));
  EXPECT_EQ(4, TextBuffer.longest);
}
