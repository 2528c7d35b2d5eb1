// The ogg guard and the failure texts of the playback session.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "player/session_rules.h"

TEST(SessionRules, OggGuardLooksForTwoSpellingsAnywhereInThePath) {
  EXPECT_TRUE(IsRefusedOggPath("C:\\Music\\song.ogg", 0));
  EXPECT_TRUE(IsRefusedOggPath("C:\\Music\\SONG.OGG", 0));
  EXPECT_TRUE(IsRefusedOggPath("C:\\old.ogg.files\\song.wav", 0));
  EXPECT_FALSE(IsRefusedOggPath("C:\\Music\\song.Ogg", 0));
  EXPECT_FALSE(IsRefusedOggPath("C:\\Music\\song.oGG", 0));
  EXPECT_FALSE(IsRefusedOggPath("C:\\Music\\song.wav", 0));
  EXPECT_FALSE(IsRefusedOggPath("C:\\Music\\song.ogg", 1));
}

// The failures the framework reports on opening and running a file, by their names.
static const unsigned long FrameworkFailures[] = {
    0x80004004UL,  // E_ABORT
    0x80004005UL,  // E_FAIL
    0x80070057UL,  // E_INVALIDARG
    0x8007000EUL,  // E_OUTOFMEMORY
    0x80004003UL,  // E_POINTER
    0x80040217UL,  // VFW_E_CANNOT_CONNECT
    0x80040241UL,  // VFW_E_CANNOT_LOAD_SOURCE_FILTER
    0x80040218UL,  // VFW_E_CANNOT_RENDER
    0x8004022FUL,  // VFW_E_INVALID_FILE_FORMAT
    0x80040216UL,  // VFW_E_NOT_FOUND
    0x8004025FUL,  // VFW_E_NOT_IN_GRAPH
    0x80040240UL,  // VFW_E_UNKNOWN_FILE_TYPE
    0x80040265UL,  // VFW_E_UNSUPPORTED_STREAM
};

// Whether text is whole code page 932: every lead byte has its second byte.
static bool IsWholeShiftJis(const char *text) {
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
    const bool lead = (*p >= 0x81 && *p <= 0x9F) || (*p >= 0xE0 && *p <= 0xFC);
    if (lead && !*++p) return false;
  }
  return true;
}

// Each failure gets a message of its own, whether the code arrives sign-extended (an
// HRESULT in a 64-bit long) or as its 32 bits, and each message is whole Shift-JIS.
TEST(SessionRules, EveryFrameworkFailureHasAMessageOfItsOwn) {
  std::vector<std::string> seen;
  for (unsigned long bits : FrameworkFailures) {
    const long signExtended = static_cast<long>(static_cast<int>(static_cast<unsigned int>(bits)));
    const char *message = GraphErrorMessage(signExtended);
    ASSERT_NE(nullptr, message) << std::hex << bits;
    EXPECT_STREQ(message, GraphErrorMessage(static_cast<long>(bits))) << std::hex << bits;
    EXPECT_GT(std::strlen(message), 3u) << std::hex << bits;
    EXPECT_TRUE(IsWholeShiftJis(message)) << std::hex << bits;
    EXPECT_EQ(seen.end(), std::find(seen.begin(), seen.end(), message)) << std::hex << bits;
    seen.push_back(message);
    // The neighbouring codes are other failures, without a message of their own here.
    for (unsigned long near : {bits - 1, bits + 1}) {
      if (std::find(std::begin(FrameworkFailures), std::end(FrameworkFailures), near) !=
          std::end(FrameworkFailures))
        continue;
      EXPECT_EQ(nullptr, GraphErrorMessage(static_cast<long>(near))) << std::hex << near;
    }
  }
  // Half-width katakana are single bytes of code page 932.
  EXPECT_EQ(0xCC, GraphErrorMessage(static_cast<int>(0x80040241U))[4] & 0xFF);  // ﾌ
}

TEST(SessionRules, OtherCodesHaveNoMessage) {
  EXPECT_EQ(nullptr, GraphErrorMessage(0));
  EXPECT_EQ(nullptr, GraphErrorMessage(1));
  EXPECT_EQ(nullptr, GraphErrorMessage(static_cast<int>(0x80040200U)));
  EXPECT_EQ(nullptr, GraphErrorMessage(static_cast<int>(0x80070002U)));
}

// Every failure is shown: the table's text, else the code in hex in a buffer of any size.
TEST(SessionRules, FailureTextsForListedAndOtherCodes) {
  struct Case {
    unsigned long code;
    unsigned long size;
    const char *text;
  } cases[] = {
      {0x80040218UL, 128, "ｽﾄﾘｰﾑをﾚﾝﾀﾞﾘﾝｸﾞするﾌｨﾙﾀの組み合わせが見つからない。"},
      {0x80004005UL, 128, "失敗。"},
      {0x80070002UL, 128, "エラー 0x80070002"},
      {0x80070003UL, 128, "エラー 0x80070003"},
      {0x8004022AUL, 128, "エラー 0x8004022A"},
      {0x00000001UL, 128, "エラー 0x00000001"},
      {0x80070002UL, 8, "エラー "},  // cut, never overrun
  };
  for (const Case &c : cases) {
    char text[129];
    std::memset(text, 'x', sizeof text);
    FormatGraphError(static_cast<long>(static_cast<int>(c.code)), text, c.size);
    EXPECT_STREQ(c.text, text) << std::hex << c.code;
    EXPECT_EQ('x', text[c.size]);
  }
}

TEST(SessionRules, CreateMessagesKeepTheirDashes) {
  EXPECT_STREQ("ERROR - Could not create the Filter Graph Manager.", CannotCreateGraphMessage);
  EXPECT_STREQ("ERROR--Could not obtain the Media Control interface.", NoMediaControlMessage);
  EXPECT_STREQ("ERROR-Could not obtain the Media Event interface.", NoMediaEventMessage);
  EXPECT_STREQ("Create", CreateCaption);
}

TEST(SessionRules, TheWarmUpSongIsTheFirstThatWouldPlayThroughTheDecoders) {
  char paths[4][PATH_BYTES] = {"C:\\m\\a.MID", "C:\\m\\b.ogg", "C:\\m\\c.mid.wav", "C:\\m\\d.wav"};
  EXPECT_EQ(WarmUpSongIndex(paths, 4, 0), 3);  // c.mid.wav is named as a MIDI file too
  EXPECT_EQ(WarmUpSongIndex(paths, 4, 1), 1);  // with an ogg decoder the ogg song plays
  EXPECT_EQ(WarmUpSongIndex(paths, 1, 1), -1);
  EXPECT_EQ(WarmUpSongIndex(paths, 0, 0), -1);
}

TEST(SessionRules, TheWarmUpCopyKeepsTheSongsExtension) {
  struct Case {
    const char *song, *name;
  } cases[] = {
      {"C:\\m\\a.wav", "bramloe-warm-up-42.wav"},
      {"C:\\m\\b.tar.MP3", "bramloe-warm-up-42.MP3"},
      {"C:\\old.ogg.files\\c", "bramloe-warm-up-42"},  // a folder's dot is no extension
      {"C:\\a.b\x95\x5C", "bramloe-warm-up-42.b\x95\x5C"},  // 0x5C as a second byte
      {"e.ogg", "bramloe-warm-up-42.ogg"},
      {"C:\\m\\f.123456789012345", "bramloe-warm-up-42.123456789012345"},
      {"C:\\m\\g.1234567890123456", "bramloe-warm-up-42"},  // too long to be one
  };
  for (const Case &c : cases) {
    char name[WARM_UP_NAME_BYTES];
    WarmUpCopyName(c.song, 42, name, sizeof name);
    EXPECT_STREQ(c.name, name) << c.song;
  }
}

// The asked moment is stored with its lowest bit set (0 means not asked), so it may lie
// a millisecond after the tick read next: no wait at all, not a wrap of 49 days.
TEST(SessionRules, AStartIsOverdueOnlyPastItsLimit) {
  const struct {
    unsigned long now, askedAt, limit;
    bool overdue;
  } cases[] = {
      {1000, 1001, 5000, false},  // read in the same millisecond as an even tick
      {1000, 1000, 0, false},
      {6000, 1000, 5000, false},
      {6001, 1000, 5000, true},
      {1001, 1000, 0, true},
      {500, 0xFFFFF000UL, 5000, false},  // across the wrap
      {1000, 0xFFFFF000UL, 5000, true},
  };
  for (const auto &c : cases) EXPECT_EQ(c.overdue, StartOverdue(c.now, c.askedAt, c.limit)) << c.now << " " << c.askedAt;
}
