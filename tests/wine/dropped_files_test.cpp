// Dropped files: an HDROP built here the way the shell builds one (a DROPFILES block
// in movable global memory followed by the names, NUL-separated, with a final NUL).
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/library_win.h"
#include "records_guard.h"

namespace {

HDROP MakeDrop(const std::vector<std::string> &names) {
  size_t bytes = sizeof(DROPFILES) + 1;
  for (const std::string &name : names) bytes += name.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, bytes);
  DROPFILES *header = (DROPFILES *)GlobalLock(memory);
  header->pFiles = sizeof(DROPFILES);
  header->fWide = FALSE;
  char *text = (char *)(header + 1);
  for (const std::string &name : names) {
    std::memcpy(text, name.c_str(), name.size() + 1);
    text += name.size() + 1;
  }
  GlobalUnlock(memory);
  return (HDROP)memory;
}

class DroppedFiles : public ::testing::Test {
 protected:
  RecordsGuard records;
};

TEST_F(DroppedFiles, ReplaceTheMusicListInDropOrder) {
  for (int i = 0; i < 7; i++) std::strcpy(MusicList.paths[i], "C:\\scanned.wav");
  MusicList.count = 7;
  PlayCursor = {4, 1};
  std::strcpy(TextList.paths[0], "C:\\t.txt");
  TextList.count = 1;
  // Taken as they are: a folder and a non-audio file included, Shift-JIS unchanged.
  const std::vector<std::string> names = {"Z:\\音楽\\ソ 表.mp3", "C:\\a folder", "D:\\readme.doc"};
  HDROP drop = MakeDrop(names);
  TakeDroppedFiles(drop);
  ASSERT_EQ(3, MusicList.count);
  for (int i = 0; i < 3; i++) EXPECT_EQ(names[i], MusicList.paths[i]) << i;
  EXPECT_STREQ("C:\\scanned.wav", MusicList.paths[3]);  // beyond count: left as it was
  EXPECT_EQ(-1, PlayCursor.current);
  EXPECT_EQ(0, PlayCursor.shuffle);
  EXPECT_EQ(1, TextList.count);
  EXPECT_EQ(0u, GlobalSize(drop)) << "the drop handle was not released";
}

TEST_F(DroppedFiles, KeepTheFirst5000Of6000) {
  std::vector<std::string> names;
  char name[MAX_PATH];
  for (int i = 0; i < 6000; i++) {
    std::snprintf(name, sizeof name, "C:\\drop\\%04d.wav", i);
    names.push_back(name);
  }
  std::strcpy(MusicList.paths[MUSIC_CAPACITY - 1], "stale");
  TakeDroppedFiles(MakeDrop(names));
  ASSERT_EQ(MUSIC_CAPACITY, MusicList.count);
  EXPECT_EQ(names[0], MusicList.paths[0]);
  EXPECT_EQ(names[MUSIC_CAPACITY - 1], MusicList.paths[MUSIC_CAPACITY - 1]);
}

TEST_F(DroppedFiles, PathsTooLongToHoldArePassedOverNotCut) {
  std::string folder = "C:\\" + std::string(250, 'f');
  const std::vector<std::string> names = {folder + "\\a.wav",                // 259: fits
                                          folder + "\\song.wav.bak",         // 266
                                          "C:\\b.wav"};
  TakeDroppedFiles(MakeDrop(names));
  ASSERT_EQ(2, MusicList.count);
  EXPECT_EQ(names[0], MusicList.paths[0]);
  EXPECT_EQ(names[2], MusicList.paths[1]);

  // 6000 items of which the first is too long: the next 5000 are taken.
  std::vector<std::string> many = {folder + "\\long-name.wav"};
  char name[MAX_PATH];
  for (int i = 0; i < 6000; i++) {
    std::snprintf(name, sizeof name, "C:\\drop\\%04d.wav", i);
    many.push_back(name);
  }
  TakeDroppedFiles(MakeDrop(many));
  ASSERT_EQ(MUSIC_CAPACITY, MusicList.count);
  EXPECT_EQ(many[1], MusicList.paths[0]);
  EXPECT_EQ(many[MUSIC_CAPACITY], MusicList.paths[MUSIC_CAPACITY - 1]);
}

}  // namespace
