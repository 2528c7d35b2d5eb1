// A timed text beside a playing song: the position tick marks the line whose time has
// come, and Top or a click on the progress bar moves the mark at the next tick.
#include "wine/player_fixture_win.h"

#include "player/player_win.h"
#include "library/library_win.h"
#include "player/position_win.h"
#include "textview/timed_text.h"

#include <algorithm>

using namespace playertest;

namespace {

class TimedTextSong : public PlayerWindow {
 protected:
  int MarkedRow() {
    return TimedText.marked < 0 ? -1 : TimedText.entries[TimedText.marked].firstRow;
  }
};

TEST_F(TimedTextSong, TickMarksTheLineOfThePosition) {
  AddSong("song.wav", 440, 4);
  AddText("song.lrc", u8"[ar:練習]\n[00:00.20]一\n[00:01]二\n[00:02]三\n[00:03]四\n");
  PlayPause(MainWindow);
  ASSERT_EQ(Playing, Controller.state);
  ASSERT_EQ(0, PlayerState.matchedText);
  ASSERT_TRUE(TimedText.timed);
  PlayPause(MainWindow);  // paused: the position stays where it is sought
  const RECT bar = ProgressRect;
  const int span = bar.right - bar.left;
  const struct {
    double seconds;
    int row;
  } moments[] = {{2.5, 2}, {1.2, 1}, {3.5, 3}, {0.1, -1}};
  for (const auto &m : moments) {
    SeekByClick(MainWindow, MAKELPARAM(bar.left + static_cast<int>(span * m.seconds / PlaybackSession.duration), bar.top));
    DrawPosition(MainWindow);
    EXPECT_EQ(m.row, MarkedRow()) << m.seconds;
  }
  SeekByClick(MainWindow, MAKELPARAM(bar.right, bar.top));
  DrawPosition(MainWindow);
  EXPECT_EQ(3, MarkedRow());
  SeekToTop(MainWindow);
  DrawPosition(MainWindow);
  EXPECT_EQ(-1, MarkedRow());
  EXPECT_EQ(0, TextView.scrollPos);
}

}  // namespace

// The walk lists .lrc texts after every .txt, so x.txt wins over x.lrc in both passes.
TEST_F(TimedTextSong, TextWalkListsTimedTextsAfterTheOthers) {
  const std::string texts = folder + "\\texts";
  MakeFolder(texts);
  MakeFolder(texts + "\\sub");
  for (const char *name : {"a.lrc", "a.txt", "sub\\b.LRC", "sub\\c.TXT", "d.Lrc", "e.lrc.txt"})
    MakeFile(texts + "\\" + name, "x");
  ScanTextFolder(texts.c_str());
  InvalidateTextKeys();
  ASSERT_EQ(5, TextList.count);
  std::vector<std::string> lrc, txt;
  for (int i = 0; i < TextList.count; i++) {
    std::string path = TextList.paths[i];
    (i < 3 ? txt : lrc).push_back(path.substr(texts.size() + 1));
  }
  std::sort(txt.begin(), txt.end());
  std::sort(lrc.begin(), lrc.end());
  EXPECT_EQ((std::vector<std::string>{"a.txt", "e.lrc.txt", "sub\\c.TXT"}), txt);
  EXPECT_EQ((std::vector<std::string>{"a.lrc", "sub\\b.LRC"}), lrc);
}
