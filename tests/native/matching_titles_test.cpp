// Song titles from ID3v1 tags and file names, and text names.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <direct.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include <chrono>
#include <thread>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "generated_media.h"
#include "library/library.h"
#include "matching/matching.h"
#include "native/own_files.h"
#include "settings/settings.h"

namespace {

// A music file path with '\' separators on both builds: natively the '\' is an
// ordinary byte of the file's name, under Windows it ends the test's scratch folder.
std::string SongFolder() { return OwnTempPath("titles"); }

std::string SongPath(const std::string &name) {
#ifdef _WIN32
  _mkdir(SongFolder().c_str());
#endif
  return SongFolder() + "\\" + name;
}

int ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return getpid();
#endif
}

// 1000 bytes of audio stand-in, then the tag the build made as name.
std::string Tagged(const std::string &name, size_t body = 1000) {
  return std::string(body, 'x') + GeneratedTag(name);
}

class SongTitles : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string &path : written_) std::remove(path.c_str());
#ifdef _WIN32
    _rmdir(SongFolder().c_str());
#endif
    Settings.aimai = 0;
    MusicList.count = 0;
    MusicFolderChanges = nullptr;
  }
  // Writes the file and puts its path at MusicList entry 0.
  void UseFile(const std::string &name, const std::string &bytes) {
    std::string path = SongPath(name);
    std::FILE *file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    written_.push_back(path);
    Use(path);
  }
  static void Use(const std::string &path) {
    std::snprintf(MusicList.paths[0], PATH_BYTES, "%s", path.c_str());
    MusicList.count = 1;
  }
  std::vector<std::string> written_;
};

std::string Stem(const char *path) {
  char stem[KEY_BYTES];
  PathStem(path, stem);
  return stem;
}

std::string TextNameOf(const char *path) {
  std::snprintf(TextList.paths[0], PATH_BYTES, "%s", path);
  TextList.count = 1;
  return TextName(0);
}

}  // namespace

TEST_F(SongTitles, FileNamesWhenThereIsNoTag) {
  Settings.aimai = 1;
  Use("D:\\Music\\ｶﾞｯﾂ.mp3");
  EXPECT_EQ("ガッツ", std::string(SongTitle(0)));
  EXPECT_STREQ("", SongArtist);
  Settings.aimai = 0;
  Use("D:\\Music\\01 My Song.wav");
  EXPECT_STREQ("01 My Song", SongTitle(0));
  Settings.aimai = 1;
  Use("D:\\my.music\\track");
  EXPECT_STREQ("track", SongTitle(0));
}

TEST_F(SongTitles, TagTitleAndArtist) {
  Settings.aimai = 1;
  UseFile("tagged_a.mp3", Tagged("my_song_spaced"));
  EXPECT_STREQ("MySong", SongTitle(0));
  EXPECT_STREQ("Foo", SongArtist);
  Settings.aimai = 0;
  EXPECT_EQ("Ｍｙ Ｓｏｎｇ", std::string(SongTitle(0)));  // the trim keeps inner spaces
}

TEST_F(SongTitles, EmptyOrSpacedTitleFieldFallsBackButKeepsTheArtist) {
  Settings.aimai = 1;
  UseFile("x.mp3", Tagged("no_title"));
  EXPECT_STREQ("x", SongTitle(0));
  EXPECT_STREQ("Foo", SongArtist);
  UseFile("y.mp3", Tagged("space_before_title"));
  EXPECT_STREQ("y", SongTitle(0));
  EXPECT_STREQ("Bar", SongArtist);
  UseFile("z.mp3", Tagged("space_before_artist"));  // an artist starting with a space is none
  EXPECT_STREQ("Song", SongTitle(0));
  EXPECT_STREQ("", SongArtist);
}

TEST_F(SongTitles, TrimStopsAtTheFieldsNulPadding) {
  UseFile("pad.mp3", Tagged("spaces_before_nuls"));
  Settings.aimai = 0;
  EXPECT_STREQ("Song  ", SongTitle(0));  // spaces before NUL padding stay
  EXPECT_STREQ("A  B", SongArtist);
  Settings.aimai = 1;
  EXPECT_STREQ("Song", SongTitle(0));
  UseFile("full.mp3", Tagged("spaces_to_the_end"));
  Settings.aimai = 0;
  EXPECT_STREQ("Song", SongTitle(0));
  // Thirty bytes with no padding at all are kept whole.
  UseFile("thirty.mp3", Tagged("thirty_bytes"));
  EXPECT_EQ(std::string(30, 'T'), SongTitle(0));
  EXPECT_EQ(std::string(30, 'A'), std::string(SongArtist));
}

// Titles are remembered per song, but never past a change of the file or of the list:
// a tag rewritten at once (same size, perhaps the same coarse file time), a tag rewritten
// after the title was remembered, and another file put at the same place of the list.
TEST_F(SongTitles, ATagRewrittenOrAnotherFileIsReadAgain) {
  Settings.aimai = 0;
  const std::string name = "again" + std::to_string(ProcessId()) + ".mp3";
  UseFile(name, Tagged("First-A"));
  EXPECT_STREQ("First", SongTitle(0));
  UseFile(name, Tagged("Again-B"));
  EXPECT_STREQ("Again", SongTitle(0));
  EXPECT_STREQ("B", SongArtist);

  const std::string other = "other" + std::to_string(ProcessId()) + ".mp3";
  UseFile(other, Tagged("Other-C"));
  UseFile(name, Tagged("Settled-D"));
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));  // both files settle
  EXPECT_STREQ("Settled", SongTitle(0));  // read, and now remembered
  UseFile(name, Tagged("Later-F"));
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  EXPECT_STREQ("Later", SongTitle(0));  // settled again, under a stamp of its own
  Use(SongPath(other));
  EXPECT_STREQ("Other", SongTitle(0));
  EXPECT_STREQ("C", SongArtist);
}

// While the folder's watch tells of no change the file is not asked again, even when
// it did change behind the watch's back; a change counted, another path at the same
// place or a drop (which ends the watch's word) brings the file's own title back.
unsigned watchedChanges;
TEST_F(SongTitles, AQuietWatchIsTrustedAndAChangeOrAnotherPathIsNot) {
  const std::string name = "watched" + std::to_string(ProcessId()) + ".mp3";
  const std::string other = "unwatched" + std::to_string(ProcessId()) + ".mp3";
  UseFile(other, Tagged("Elsewhere-E"));
  UseFile(name, Tagged("First-A"));
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));  // settled
  watchedChanges = 1;
  MusicFolderChanges = [](int) { return watchedChanges; };
  EXPECT_STREQ("First", SongTitle(0));
  Use(SongPath(other));
  EXPECT_STREQ("Elsewhere", SongTitle(0));
  Use(SongPath(name));
  EXPECT_STREQ("First", SongTitle(0));
  UseFile(name, Tagged("Moved-B"));
  EXPECT_STREQ("First", SongTitle(0)) << "a quiet watch saves asking the file";
  watchedChanges = 2;
  EXPECT_STREQ("Moved", SongTitle(0));

  const char *dropped = "D:\\x.mp3";
  TakeDroppedNames(1, [](void *context, int) { return static_cast<const char *>(context); },
                   const_cast<char *>(dropped));
  EXPECT_EQ(nullptr, MusicFolderChanges);
}

TEST_F(SongTitles, MarkerIsCaseSensitiveAndTheFileMustHoldATag) {
  Settings.aimai = 0;
  std::string lower = Tagged("Title-Artist");
  lower.replace(lower.size() - 128, 3, "tag");
  UseFile("lower.mp3", lower);
  EXPECT_STREQ("lower", SongTitle(0));
  EXPECT_STREQ("", SongArtist);
  // "TAG" at the start of a file shorter than a tag is not a tag.
  UseFile("short.mp3", "TAGTitle");
  EXPECT_STREQ("short", SongTitle(0));
  // A file of exactly 128 bytes is all tag.
  UseFile("exact.mp3", Tagged("Exact", 0));
  EXPECT_STREQ("Exact", SongTitle(0));
}

TEST_F(SongTitles, UnreadableFileEmptiesTheArtist) {
  UseFile("tagged_b.mp3", Tagged("Title-Someone"));
  SongTitle(0);
  ASSERT_STREQ("Someone", SongArtist);
  Use(SongPath("does_not_exist.mp3"));
  Settings.aimai = 0;
  EXPECT_STREQ("does_not_exist", SongTitle(0));
  EXPECT_STREQ("", SongArtist);
}

TEST(PathStems, ExtensionsFoldersAndSecondBytes) {
  EXPECT_EQ("表", Stem("D:\\Music\\表.mp3"));  // 表 is 0x95 0x5C
  EXPECT_EQ("ソ", Stem("D:\\ソ\\ソ.txt"));      // ソ is 0x83 0x5C, in the folder too
  EXPECT_EQ("a.b", Stem("D:\\x\\a.b.txt"));
  EXPECT_EQ("track", Stem("D:\\my.music\\track"));
  EXPECT_EQ("", Stem("D:\\Text\\.txt"));
  EXPECT_EQ("name", Stem("D:\\Text\\name"));
  EXPECT_EQ("name", Stem("name.txt"));  // no folder at all
}

TEST(PathStems, LongNamesAreCutAt255BytesOnACharacter) {
  std::string name(255, 'n');
  EXPECT_EQ(name, Stem(("D:\\" + name).c_str()));
  EXPECT_EQ(name, Stem(("D:\\" + name + "n").c_str()));
  EXPECT_EQ(name, Stem(("D:\\" + name + "nnn.txt").c_str()));
  // 表 over bytes 254 and 255 would be split: the cut leaves it out.
  std::string split = std::string(254, 'n') + "表";
  EXPECT_EQ(std::string(254, 'n'), Stem(("D:\\" + split).c_str()));
}

TEST(TextNames, FullWidthUnderscoreSurvives) {
  Settings.aimai = 1;
  EXPECT_EQ("My＿Song", TextNameOf("D:\\Text\\Ｍｙ＿Ｓｏｎｇ.txt"));
  Settings.aimai = 0;
  EXPECT_EQ("Ｍｙ＿Ｓｏｎｇ", TextNameOf("D:\\Text\\Ｍｙ＿Ｓｏｎｇ.txt"));
  TextList.count = 0;
}

TEST(TextNames, SongAndTextKeysLiveInSeparateBuffers) {
  Settings.aimai = 0;
  std::snprintf(MusicList.paths[0], PATH_BYTES, "%s", "D:\\M\\song.wav");
  MusicList.count = 1;
  const char *song = SongTitle(0);
  TextNameOf("D:\\T\\text.txt");
  EXPECT_STREQ("song", song);
  TextList.count = 0;
  MusicList.count = 0;
}
