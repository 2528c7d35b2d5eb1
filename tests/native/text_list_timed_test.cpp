// .lrc texts in the TextList: which names count, and that every .txt comes first, so
// a song finds x.txt rather than x.lrc in either pass of the lookup.
#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "matching/matching.h"
#include "settings/settings.h"

TEST(TimedTextNames, WhichNamesAreTimedTexts) {
  const struct {
    const char *name;
    bool text, timed;
  } cases[] = {
      {"a.lrc", false, true},     {"a.LRC", false, true},       {"a.Lrc", false, false},
      {"a.lrc.bak", false, true}, {"a.lrc.txt", true, false},   {"a.txt", true, false},
      {"lrc", false, false},      {"\x83\x5C.lrc", false, true},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.text, IsTextFileName(c.name)) << c.name;
    EXPECT_EQ(c.timed, IsTimedTextFileName(c.name)) << c.name;
  }
  // The name of a path, over second bytes 0x5C (ソ is 83 5C).
  EXPECT_STREQ("x.lrc", PathName("D:\\t\\x.lrc"));
  EXPECT_STREQ("\x83\x5C.lrc", PathName("D:\\\x83\x5C\\\x83\x5C.lrc"));
  EXPECT_STREQ("x.lrc", PathName("x.lrc"));
}

TEST(TimedTextNames, TxtComesFirstAndWinsBothPasses) {
  TextList.count = 0;
  for (const char *path : {"T\\song.lrc", "T\\other.txt", "T\\song.txt", "T\\lied.lrc", "T\\songs.lrc", "T\\songX.txt"})
    ASSERT_TRUE(TakeFoundTextPath(path));
  AppendWaitingTimedTexts();
  InvalidateTextKeys();
  ASSERT_EQ(6, TextList.count);
  const char *order[] = {"T\\other.txt", "T\\song.txt", "T\\songX.txt", "T\\song.lrc", "T\\lied.lrc", "T\\songs.lrc"};
  for (int i = 0; i < 6; i++) EXPECT_STREQ(order[i], TextList.paths[i]) << i;

  const SettingsRecord kept = Settings;
  Settings.aimai = 1;
  TextLookup found;
  LookUpTextKey("song", &found);
  EXPECT_EQ(1, found.index);  // exact: song.txt, not song.lrc
  LookUpTextKey("lied", &found);
  EXPECT_EQ(4, found.index);  // a .lrc alone is found
  LookUpTextKey("songY", &found);
  EXPECT_EQ(LOOKUP_FUZZY, found.pass);
  EXPECT_EQ(1, found.index);  // fuzzy, equal lengths: song.txt beats song.lrc
  Settings = kept;
  TextList.count = 0;
  InvalidateTextKeys();
}
