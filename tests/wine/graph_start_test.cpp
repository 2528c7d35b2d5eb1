// A graph on its way to running, on the real main window: the timer does not ask it
// for its position until it is seen running, and one that never gets there ends its
// song after the start limit. The framework's answer is held at "still starting" by a
// stand-in for the state query, in front of a real graph playing a real song.
#include "wine/player_fixture_win.h"

#include "player/player_win.h"
#include "player/position_win.h"

using namespace playertest;

namespace {

bool reportStarting;
int stateQueries;

HRESULT HeldState(IMediaControl *control, OAFilterState *state) {
  stateQueries++;
  if (!reportStarting) return control->GetState(0, state);
  *state = State_Running;  // where it is going, as the framework reports a transition
  return VFW_S_STATE_INTERMEDIATE;
}

class GraphStart : public PlayerWindow {
 protected:
  void SetUp() override {
    PlayerWindow::SetUp();
    reportStarting = true;
    stateQueries = 0;
    AskGraphState = HeldState;
    keptLimit = GraphStartLimit;
  }
  void TearDown() override {
    AskGraphState = keptAsk;
    GraphStartLimit = keptLimit;
    PlayerWindow::TearDown();
  }
  bool BarDrawn() {
    HDC dc = GetDC(MainWindow);
    COLORREF colour = GetPixel(dc, ProgressRect.left + 1, ProgressRect.top + 2);
    ReleaseDC(MainWindow, dc);
    return colour == RGB(0, 0, 0);
  }
  void WipeBar() {
    InvalidateRect(MainWindow, &ProgressRect, TRUE);
    UpdateWindow(MainWindow);
  }
  HRESULT (*keptAsk)(IMediaControl *, OAFilterState *) = AskGraphState;
  DWORD keptLimit = 0;
};

TEST_F(GraphStart, PositionIsAskedOnlyOnceTheGraphIsSeenRunning) {
  AddSong("a.wav", 440, 3);
  PlayPause(MainWindow);
  ASSERT_EQ(Playing, Controller.state);
  Pump(500);  // the real graph plays meanwhile, so a position query would draw the bar
  WipeBar();
  for (int tick = 0; tick < 5; tick++) DrawPosition(MainWindow);
  EXPECT_FALSE(BarDrawn()) << "a graph still starting was asked for its position";
  EXPECT_GE(stateQueries, 5);
  reportStarting = false;
  DrawPosition(MainWindow);
  EXPECT_TRUE(BarDrawn());
  const int asked = stateQueries;
  for (int tick = 0; tick < 5; tick++) DrawPosition(MainWindow);
  EXPECT_EQ(asked, stateQueries) << "a graph seen running is asked again on every tick";
  // Paused, the graph is stopped, not starting: a seek still shows at the next tick.
  PlayPause(MainWindow);
  ASSERT_EQ(Paused, Controller.state);
  SeekByClick(MainWindow, MAKELPARAM((ProgressRect.left + ProgressRect.right) / 2, ProgressRect.top));
  UpdateWindow(MainWindow);
  ASSERT_FALSE(BarDrawn());
  DrawPosition(MainWindow);
  EXPECT_TRUE(BarDrawn());
  EXPECT_EQ(asked, stateQueries);
}

TEST_F(GraphStart, AGraphThatNeverGetsThereEndsItsSongAfterTheLimit) {
  AddSong("a.wav", 440, 4);
  AddSong("b.wav", 660, 4);
  struct Case {
    DWORD limit;
    int songAfterTick;
  } cases[] = {{60000, 0}, {0, 1}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.limit);
    StopSong(MainWindow);
    PlayCursor.current = -1;
    GraphStartLimit = c.limit;
    PlayPause(MainWindow);
    ASSERT_EQ(0, PlayCursor.current);
    Sleep(20);
    TickPlayer(MainWindow);
    EXPECT_EQ(c.songAfterTick, PlayCursor.current);
    EXPECT_EQ(Playing, Controller.state);
    EXPECT_TRUE(IsWindowEnabled(NextButton));
  }
  // Paused, a stopped graph is not a start that is overdue.
  PlayPause(MainWindow);
  ASSERT_EQ(Paused, Controller.state);
  const int song = PlayCursor.current;
  TickPlayer(MainWindow);
  EXPECT_EQ(song, PlayCursor.current);
}

// The position timer ticks inside a box of the program too.
int TickUnderBox(HWND owner, const char *text, const char *caption, UINT type) {
  RecordBox(owner, text, caption, type);
  TickPlayer(MainWindow);
  return IDOK;
}

// Under another box the limit waits: the song is given up once the box has closed, so
// the songs after it can open no box of theirs under it.
TEST_F(GraphStart, TheLimitWaitsWhileABoxIsOpen) {
  AddSong("a.wav", 440, 4);
  AddSong("b.wav", 660, 4);
  GraphStartLimit = 0;
  PlayPause(MainWindow);
  ASSERT_EQ(0, PlayCursor.current);
  Sleep(20);
  MessageBoxHook = TickUnderBox;
  ShowMessageBox(MainWindow, "BRAMLOE 0.02", "バージョン情報", MB_OK);
  EXPECT_EQ(0, PlayCursor.current);
  TickPlayer(MainWindow);
  EXPECT_EQ(1, PlayCursor.current);
}

}  // namespace
