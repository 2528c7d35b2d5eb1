// Timing a text by tapping: which lines take stamps, what the view marks, and the text
// rewritten with the stamps in each of its encodings.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "matching/matching.h"
#include "textview/text_timing.h"
#include "textview/textbuffer.h"
#include "textview/timed_text.h"
#include "own_files.h"
#include "text_list_fixture.h"

namespace {

// UTF-16 bytes with their mark.
std::string Utf16(const std::u16string &text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : text) {
    const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

void Load(const std::string &bytes) {
  ReadTextBytes(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
}

class TextTiming : public ::testing::Test {
 protected:
  void SetUp() override { LyricsOffset = 0; }
  void TearDown() override {
    StopTiming();
    LyricsOffset = 0;
  }
  int MarkedRow() { return TimedText.marked < 0 ? -1 : TimedText.entries[TimedText.marked].firstRow; }
  int MarkerRow() {
    int first, count;
    TimingMarker(&first, &count);
    return count ? first : -1;
  }
};

TEST(TimingText, RewriteKeepsEverythingButTheStampedLinesTags) {
  const struct {
    const char *name;
    std::string text;
    std::vector<int> lines;
    std::vector<long> times;
    std::string expected;
  } cases[] = {
      {"Shift-JIS, CRLF", "一行目\r\n二行目\r\n三行目", {0, 2}, {1234, 61000},
       "[00:01.23]一行目\r\n二行目\r\n[01:01.00]三行目"},
      {"headers and blank lines kept", "[ti:題]\n\n歌\n[offset:+100]\n", {2}, {500}, "[ti:題]\n\n[00:00.50]歌\n[offset:+100]\n"},
      {"leading tags replaced, others kept", "[00:05.00][00:30]歌\n[00:10.00]次\n", {0}, {1000},
       "[00:01.00]歌\n[00:10.00]次\n"},
      {"word tags and a spaced tag kept", "歌<00:01.50>詞 [00:02]\n", {0}, {70}, "[00:00.07]歌<00:01.50>詞 [00:02]\n"},
      {"UTF-8 with its mark", u8"\xEF\xBB\xBFあ\r\nい", {0, 1}, {10, 20}, u8"\xEF\xBB\xBF[00:00.01]あ\r\n[00:00.02]い"},
      {"UTF-8", u8"[ar:歌手]\nあ\nい\n", {1}, {3000}, u8"[ar:歌手]\n[00:03.00]あ\nい\n"},
      {"UTF-16 LE, CRLF", Utf16(u"あ\r\n[00:09]い\r\n", false), {0, 1}, {1000, 2000},
       Utf16(u"[00:01.00]あ\r\n[00:02.00]い\r\n", false)},
      {"UTF-16 BE", Utf16(u"あ\nい", true), {1}, {1000}, Utf16(u"あ\n[00:01.00]い", true)},
      {"no stamps", "a\r\nb", {}, {}, "a\r\nb"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.expected, RewriteTimedText(c.text, c.lines.data(), c.times.data(), static_cast<int>(c.lines.size())))
        << c.name;
}

TEST(TimingText, TagsAndTwinNames) {
  const struct {
    long ms;
    const char *tag;
  } tags[] = {{0, "[00:00.00]"},  {1234, "[00:01.23]"}, {1235, "[00:01.24]"},
              {59995, "[01:00.00]"}, {-40, "[00:00.00]"}, {6000000, "[100:00.00]"}};
  char tag[TIME_TAG_BYTES + 1];
  for (const auto &t : tags) {
    FormatLineTag(t.ms, tag);
    EXPECT_STREQ(t.tag, tag) << t.ms;
  }
  const struct {
    std::string path;
    const char *twin;  // null: too long
  } twins[] = {{"D:\\t\\x.txt", "D:\\t\\x.lrc"},
               {"D:\\t\\x.lrc", "D:\\t\\x.lrc"},
               {"D:\\a.b\\song", "D:\\a.b\\song.lrc"},
               {"D:\\\x83\x5C.txt", "D:\\\x83\x5C.lrc"},
               {"D:\\" + std::string(253, 'x') + ".txt", nullptr}};
  char out[PATH_BYTES];
  for (const auto &t : twins) {
    EXPECT_EQ(t.twin != nullptr, TimedTwinPath(t.path.c_str(), out)) << t.path;
    EXPECT_STREQ(t.twin ? t.twin : "", t.twin ? out : "") << t.path;
  }
}

TEST_F(TextTiming, StampsGoToTheLinesWithTextAndAreMarkedAtOnce) {
  // Rows: 0 header, 1 blank, 2-3 a long line, 4 "b", 5 blank.
  Load("[ti:x]\n\n" + std::string(120, 'a') + "\nb\n \n");
  ASSERT_EQ(6, TextBuffer.lineCount);
  ASSERT_TRUE(StartTiming("T\\x.txt"));
  EXPECT_EQ(2, Timing.lineCount);
  EXPECT_EQ(2, MarkerRow());
  EXPECT_TRUE(IsTimingMarkerRow(3));
  EXPECT_FALSE(IsTimingMarkerRow(4));
  EXPECT_FALSE(TimedText.timed);
  char notice[32];
  ASSERT_TRUE(StampLine(1500));
  FormatTimingNotice(notice, sizeof notice);
  EXPECT_STREQ("タイミング 1/2", notice);
  EXPECT_TRUE(TimedText.timed);
  EXPECT_EQ(2, MarkedRow());
  EXPECT_EQ(4, MarkerRow());
  ASSERT_TRUE(StampLine(2500));
  EXPECT_EQ(4, MarkedRow());
  EXPECT_EQ(-1, MarkerRow());
  EXPECT_FALSE(StampLine(3000));  // no line left
  ASSERT_TRUE(TakeStampBack());
  EXPECT_EQ(2, MarkedRow());
  EXPECT_EQ(4, MarkerRow());
  ASSERT_TRUE(TakeStampBack());
  EXPECT_FALSE(TakeStampBack());
  EXPECT_FALSE(TimedText.timed);
  EXPECT_EQ(-1, MarkedRow());
}

TEST_F(TextTiming, ATextWithoutTextTakesNoTiming) {
  Load("[ti:x]\n\n  \n");
  EXPECT_FALSE(StartTiming("T\\x.txt"));
  EXPECT_FALSE(Timing.on);
  EXPECT_FALSE(StampLine(0));
}

// What is written reads back as the lines stamped at their times, with the offsets in
// force: the text's own and the listener's shift.
TEST_F(TextTiming, WrittenTagsMarkTheLinesWhenTapped) {
  const struct {
    const char *name;
    std::string text;
  } cases[] = {
      {"plain, with an offset header", "[offset:+200]\n\n" + std::string(150, 'x') + "\r\nb\r\n"},
      {"timed: stamped lines replaced, others kept", "[offset:-100]\n[00:01]a\n[00:02]\n[00:03]" + std::string(110, 'c') + "\n[00:04]d\n"},
      {"UTF-16", Utf16(u"[ti:t]\r\nあ\r\n\r\nい\r\nう", false)},
  };
  for (const auto &c : cases) {
    LyricsOffset = 300;
    Load(c.text);
    ASSERT_TRUE(StartTiming("T\\x.txt")) << c.name;
    const int stamps = Timing.lineCount < 2 ? Timing.lineCount : 2;
    for (int i = 0; i < stamps; ++i) ASSERT_TRUE(StampLine(5000 + 1000 * i));
    const std::vector<int> lines(Timing.lines, Timing.lines + stamps);
    std::vector<long> kept;  // the entries of the lines not stamped, as loaded
    for (int i = 0; i < TimedText.entryCount; ++i)
      if (TimedText.entries[i].time < 5000) kept.push_back(TimedText.entries[i].time);
    const std::string written = RewriteTimedText(c.text, Timing.lines, Timing.times, Timing.next);
    StopTiming();
    Load(written);
    ShiftLyrics(LyricsOffset);
    std::vector<long> stamped;
    std::vector<long> others;
    for (int i = 0; i < TimedText.entryCount; ++i) {
      const TimedEntry &e = TimedText.entries[i];
      if (e.time >= 5000) {
        stamped.push_back(e.time);
        EXPECT_EQ(lines[stamped.size() - 1], TextBuffer.rowLines[e.firstRow]) << c.name;
      } else {
        others.push_back(e.time);
      }
    }
    EXPECT_EQ((std::vector<long>{5000, 6000}), stamped) << c.name;
    EXPECT_EQ(kept, others) << c.name;
  }
}

// x.lrc beside x.txt is shown only when it alone is timed; the check reads the files.
TEST(TimedTwin, TheTimedLrcIsShownInsteadOfAPlainTxt) {
  const std::string folder = OwnTempPath("");
  const auto write = [&](const std::string &name, const std::string &bytes) {
    std::FILE *file = std::fopen((folder + name).c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  };
  const std::string timed = "[ar:a]\n[00:01.00]x\n", plain = "x\ny\n";
  const struct {
    const char *name;
    std::string txt, lrc;
    int shown;  // 0 the .txt, 1 the .lrc
    int rule;
  } cases[] = {
      {"only the lrc timed", plain, timed, 1, TWIN_TIMED_SHOWN},
      {"neither timed", plain, plain, 0, TWIN_NOT_TIMED},
      {"both timed", timed, timed, 0, TWIN_BOTH_TIMED},
      {"the txt alone timed", timed, plain, 0, TWIN_NOT_TIMED},
  };
  const SettingsRecord kept = Settings;
  for (const auto &c : cases) {
    write("x.txt", c.txt);
    write("x.lrc", c.lrc);
    SetTextList({folder + "a.txt", folder + "x.txt", folder + "x.lrc"}, 1);
    MusicList.count = 0;
    AppendMusicPath((folder + "x.wav").c_str());
    TextLookup found;
    LookUpSongText(0, 1, &found);
    EXPECT_EQ(c.shown ? 2 : 1, found.index) << c.name;
    EXPECT_EQ(c.shown ? 1 : 2, found.twin) << c.name;
    EXPECT_EQ(c.rule, found.twinRule) << c.name;
  }
  // No pair, no look into the files: a missing .lrc of another folder is no twin.
  SetTextList({folder + "x.txt", "D:\\other\\x.lrc"}, 1);
  TextLookup found;
  LookUpSongText(0, 1, &found);
  EXPECT_EQ(0, found.index);
  EXPECT_EQ(-1, found.twin);
  std::remove((folder + "x.txt").c_str());
  std::remove((folder + "x.lrc").c_str());
  Settings = kept;
  MusicList.count = TextList.count = 0;
  InvalidateTextKeys();
}

}  // namespace
