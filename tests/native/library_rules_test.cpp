// The portable rules of the folder walk: which names are listed, how a folder and a
// name are joined, and what happens at the path and list limits.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "library/library.h"

TEST(LibraryRules, MusicNamesAreCaseSensitiveSubstrings) {
  EXPECT_TRUE(IsMusicFileName("a.wav", 0, 0));
  EXPECT_TRUE(IsMusicFileName("A.WAV", 0, 0));
  EXPECT_TRUE(IsMusicFileName("x.wav.bak", 0, 0));   // anywhere in the name
  EXPECT_TRUE(IsMusicFileName(".hidden.wav", 0, 0));
  EXPECT_TRUE(IsMusicFileName("song.mid", 0, 0));
  EXPECT_TRUE(IsMusicFileName("SONG.MID", 0, 0));
  EXPECT_FALSE(IsMusicFileName("x.Wav", 1, 1));      // mixed case is neither spelling
  EXPECT_FALSE(IsMusicFileName("x.Mp3", 1, 1));
  EXPECT_FALSE(IsMusicFileName("x.Mid", 1, 1));
  EXPECT_FALSE(IsMusicFileName("wav", 1, 1));        // the dot belongs to the test
  EXPECT_FALSE(IsMusicFileName("a.txt", 1, 1));
}

TEST(LibraryRules, CompressedFormatsNeedTheirDecoderFlag) {
  EXPECT_FALSE(IsMusicFileName("a.mp3", 0, 1));
  EXPECT_TRUE(IsMusicFileName("a.mp3", 1, 0));
  EXPECT_TRUE(IsMusicFileName("a.MP3", 1, 0));
  EXPECT_FALSE(IsMusicFileName("a.ogg", 1, 0));
  EXPECT_TRUE(IsMusicFileName("a.ogg", 0, 1));
  EXPECT_TRUE(IsMusicFileName("a.OGG", 0, 1));
}

TEST(LibraryRules, TextNames) {
  EXPECT_TRUE(IsTextFileName("a.txt"));
  EXPECT_TRUE(IsTextFileName("A.TXT"));
  EXPECT_TRUE(IsTextFileName("notes.txt.old"));
  EXPECT_FALSE(IsTextFileName("a.Txt"));
  EXPECT_FALSE(IsTextFileName("a.wav"));
}

TEST(LibraryRules, OnlyThreeCharacterRootsJoinWithoutASeparator) {
  char out[PATH_BYTES];
  EXPECT_TRUE(IsDriveRoot("D:\\"));
  EXPECT_TRUE(IsDriveRoot("?:\\"));  // the letter itself is not examined
  EXPECT_FALSE(IsDriveRoot("D:"));
  EXPECT_FALSE(IsDriveRoot("D:\\Music"));
  EXPECT_FALSE(IsDriveRoot("\\\\s"));
  EXPECT_FALSE(IsDriveRoot(""));

  ASSERT_TRUE(BuildSearchPattern("D:\\", out));
  EXPECT_STREQ("D:\\*", out);
  ASSERT_TRUE(JoinChildPath("D:\\", "a.wav", out));
  EXPECT_STREQ("D:\\a.wav", out);

  ASSERT_TRUE(BuildSearchPattern("D:\\Music", out));
  EXPECT_STREQ("D:\\Music\\*", out);
  ASSERT_TRUE(JoinChildPath("D:\\Music", "a.wav", out));
  EXPECT_STREQ("D:\\Music\\a.wav", out);

  ASSERT_TRUE(BuildSearchPattern("D:", out));
  EXPECT_STREQ("D:\\*", out);
  ASSERT_TRUE(JoinChildPath("D:", "a.wav", out));
  EXPECT_STREQ("D:\\a.wav", out);

  // A trailing backslash on a folder is kept as typed.
  ASSERT_TRUE(BuildSearchPattern("D:\\Music\\", out));
  EXPECT_STREQ("D:\\Music\\\\*", out);
  ASSERT_TRUE(JoinChildPath("D:\\Music\\", "a.wav", out));
  EXPECT_STREQ("D:\\Music\\\\a.wav", out);
}

TEST(LibraryRules, ShiftJisNamesAreJoinedByteForByte) {
  char out[PATH_BYTES];
  // ソ ends in 0x5C: the folder must not be taken for one ending in a backslash.
  ASSERT_TRUE(JoinChildPath("C:\\\x83\x5C", "\x95\x5C.wav", out));
  EXPECT_STREQ("C:\\\x83\x5C\\\x95\x5C.wav", out);
}

TEST(LibraryRules, JoinedPathsOver259BytesAreRefusedNotCut) {
  char out[PATH_BYTES];
  std::string folder = "C:\\" + std::string(250, 'f');  // 253 bytes
  ASSERT_TRUE(JoinChildPath(folder.c_str(), "a.wav", out));  // 253 + 1 + 5 = 259
  EXPECT_EQ(259u, std::strlen(out));
  std::memset(out, 'x', sizeof out);
  EXPECT_FALSE(JoinChildPath(folder.c_str(), "ab.wav", out));  // 260
  EXPECT_STREQ("", out);

  std::string longest = "C:\\" + std::string(254, 'f');  // 257 + "\*" = 259
  EXPECT_TRUE(BuildSearchPattern(longest.c_str(), out));
  EXPECT_EQ(259u, std::strlen(out));
  longest += 'f';
  EXPECT_FALSE(BuildSearchPattern(longest.c_str(), out));
  EXPECT_STREQ("", out);
}

TEST(LibraryRules, ListsStopAtCapacity) {
  MusicList.count = MUSIC_CAPACITY - 1;
  EXPECT_TRUE(AppendMusicPath("C:\\last.wav"));
  EXPECT_STREQ("C:\\last.wav", MusicList.paths[MUSIC_CAPACITY - 1]);
  EXPECT_FALSE(AppendMusicPath("C:\\one-too-many.wav"));
  EXPECT_EQ(MUSIC_CAPACITY, MusicList.count);

  TextList.count = TEXT_CAPACITY - 1;
  EXPECT_TRUE(AppendTextPath("C:\\last.txt"));
  EXPECT_FALSE(AppendTextPath("C:\\one-too-many.txt"));
  EXPECT_EQ(TEXT_CAPACITY, TextList.count);
  EXPECT_STREQ("C:\\last.txt", TextList.paths[TEXT_CAPACITY - 1]);
  MusicList.count = 0;
  TextList.count = 0;
}

// When a drive is to be removed, every watched folder on it is let go, and only the
// songs in those folders lose their watch.
TEST(MusicWatches, ADriveLetGoTakesOnlyItsOwnFolders) {
  const char *songs[] = {"C:\\music\\a.wav", "C:\\music\\sub\\b.wav", "D:\\usb\\c.wav",     "D:\\usb\\x\\d.wav",
                         "d:\\usb\\e.wav",   "\\\\srv\\share\\f.wav", "\\\\srv\\other\\g.wav", "D:\\usb\\h.wav"};
  MusicList.count = 0;
  for (const char *song : songs) AppendMusicPath(song);
  static WatchPlanRecord plan;
  ASSERT_TRUE(PlanMusicWatches(&plan));
  ASSERT_EQ(7, plan.folderCount);  // h.wav shares c.wav's folder
  const struct {
    int folder;  // the folder whose watch the notice names
    int closed;
    const char *watched;  // per song, after the notice: 1 still watched
  } notices[] = {
      {3, 3, "11000110"},  // D:\usb\x: D:\usb and d:\usb go with it
      {2, 0, "11000110"},  // the same drive again: nothing more
      {5, 1, "11000010"},  // \\srv\share, not \\srv\other
      {0, 2, "00000010"},
  };
  for (const auto &n : notices) {
    bool closedNow[WATCH_LIMIT];
    EXPECT_EQ(n.closed, CloseDriveWatches(&plan, n.folder, closedNow)) << n.folder;
    for (int song = 0; song < MusicList.count; song++)
      EXPECT_EQ(n.watched[song] == '1', IsSongWatched(&plan, song)) << n.folder << " " << songs[song];
  }
  const struct {
    const char *path;
    int length;
  } drives[] = {{"D:\\x", 2}, {"\\\\srv\\share\\x", 11}, {"\\\\srv\\share", 11}, {"x\\y", 0}, {"\\x", 0}};
  for (const auto &d : drives) EXPECT_EQ(d.length, DriveLength(d.path)) << d.path;

  // Songs in more folders than one wait takes, or one without a folder: none watched.
  MusicList.count = 0;
  for (int i = 0; i <= WATCH_LIMIT; i++) AppendMusicPath(("C:\\m" + std::to_string(i) + "\\a.wav").c_str());
  EXPECT_FALSE(PlanMusicWatches(&plan));
  MusicList.count = 0;
  AppendMusicPath("a.wav");
  EXPECT_FALSE(PlanMusicWatches(&plan));
  MusicList.count = 0;
}
