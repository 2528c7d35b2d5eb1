// FindText writes the title line into the main window's caption: Shift-JIS bytes in,
// the same bytes back from GetWindowTextA.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "generated_media.h"
#include "shell/shell_win.h"
#include "library/library.h"
#include "matching/matching.h"
#include "matching/matching_win.h"
#include "settings/settings.h"
#include "wine/library_scratch.h"
#include "wine/main_window_fixture_win.h"

namespace {

class TitleLineCaption : public mainwindowtest::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (HasFatalFailure()) return;
    Settings.aimai = 1;
    InvalidateTextKeys();
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    InvalidateTextKeys();
  }
  // A music file with the ID3v1 tag the build made as tagName, appended to the MusicList.
  void AddTaggedSong(const char *name, const char *tagName) {
    std::string path = folder + "\\" + name;
    std::string tag = GeneratedTag(tagName);
    std::FILE *file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fwrite(std::string(500, 'x').data(), 1, 500, file);
    std::fwrite(tag.data(), 1, tag.size(), file);
    std::fclose(file);
    AppendMusicPath(path.c_str());
  }
  std::string Caption() {
    char text[TITLE_LINE_BYTES];
    GetWindowTextA(MainWindow, text, sizeof text);
    return text;
  }
};

}  // namespace

TEST_F(TitleLineCaption, FoundTextWithAndWithoutArtist) {
  AddTaggedSong("x.mp3", "my_song_spaced");
  AddTaggedSong("y.mp3", "gattsu_spaced");
  AppendTextPath("D:\\Text\\mysong.txt");
  AppendTextPath("D:\\Text\\ガッツ!.txt");
  EXPECT_EQ(0, FindText(0, 1));
  EXPECT_EQ("BRAMLOE: mp3:MySong(Foo)   TXT:mysong", Caption());
  EXPECT_EQ(1, FindText(1, 1));  // fuzzy: ガッツ is a prefix of ガッツ!
  EXPECT_EQ("BRAMLOE: mp3:ガッツ   TXT:ガッツ!", Caption());
}

TEST_F(TitleLineCaption, NoTextShowsNashiUnlessAnotherSongFollows) {
  AddTaggedSong("a.wav", "alpha_spaced");
  AddTaggedSong("b.wav", "beta_spaced");
  AppendTextPath("D:\\Text\\zzz.txt");
  EXPECT_EQ(-1, FindText(0, 1));
  EXPECT_EQ("BRAMLOE: wav:Alpha   TXT:無し", Caption());
  Settings.skip = 1;
  SetWindowTextA(MainWindow, "BRAMLOE");
  EXPECT_EQ(-1, FindText(0, 1));
  EXPECT_EQ("BRAMLOE", Caption());  // left alone: the next song is tried at once
  EXPECT_EQ(-1, FindText(1, 2));
  EXPECT_EQ("BRAMLOE: wav:Beta   TXT:無し", Caption());
}
