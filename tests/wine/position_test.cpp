// The position bar, click-to-seek, Top and the end of a song on the real main window.
#include "wine/player_fixture_win.h"

#include "player/player_win.h"
#include "player/position_win.h"

using namespace playertest;

namespace {

class Position : public PlayerWindow {
 protected:
  LONGLONG CurrentPosition() {
    LONGLONG position = -1;
    if (PlaybackSession.seeking) PlaybackSession.seeking->GetCurrentPosition(&position);
    return position;
  }
  LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
  COLORREF PixelAt(int x, int y) {
    HDC dc = GetDC(MainWindow);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(MainWindow, dc);
    return colour;
  }
  // Plays the first song, then pauses it: a stopped graph keeps a sought position.
  void PlayAndPause() {
    PlayPause(MainWindow);
    ASSERT_EQ(Playing, PlayerState.state);
    PlayPause(MainWindow);
    ASSERT_EQ(Paused, PlayerState.state);
  }
  // Queues an event in the graph as a filter would.
  void Notify(long code) {
    IMediaEventSink *sink = nullptr;
    ASSERT_TRUE(SUCCEEDED(PlaybackSession.graph->QueryInterface(
        IID_IMediaEventSink, reinterpret_cast<void **>(&sink))));
    sink->Notify(code, 0, 0);
    sink->Release();
  }
};

TEST_F(Position, ClickSeeksProportionallyWithBothEdgesInside) {
  AddSong("a.wav", 440, 4);
  PlayAndPause();
  const RECT bar = ProgressRect;
  const LONGLONG duration = static_cast<LONGLONG>(PlayerState.duration * 1e7);
  SeekByClick(MainWindow, At(bar.right, bar.bottom));
  EXPECT_NEAR(static_cast<double>(duration), static_cast<double>(CurrentPosition()), 1e4);
  SeekByClick(MainWindow, At((bar.left + bar.right) / 2, bar.top));
  EXPECT_NEAR(duration * ((bar.right - bar.left) / 2) / (double)(bar.right - bar.left),
              static_cast<double>(CurrentPosition()), 1e4);
  SeekByClick(MainWindow, At(bar.left, bar.top));
  EXPECT_EQ(0, CurrentPosition());
}

TEST_F(Position, ClickOutsideDoesNotSeekButMovesTheFocus) {
  AddSong("a.wav", 440, 4);
  PlayAndPause();
  const RECT bar = ProgressRect;
  SeekByClick(MainWindow, At((bar.left + bar.right) / 2, bar.top));
  const LONGLONG middle = CurrentPosition();
  ASSERT_GT(middle, 0);
  for (LPARAM outside : {At(bar.left - 1, bar.top), At(bar.right + 1, bar.top),
                         At(bar.left, bar.top - 1), At(bar.left, bar.bottom + 1)}) {
    SeekByClick(MainWindow, outside);
    EXPECT_EQ(middle, CurrentPosition());
  }
}

TEST_F(Position, FrameOfNoWidthSeeksNowhere) {
  AddSong("a.wav", 440, 4);
  PlayAndPause();
  SeekByClick(MainWindow, At((ProgressRect.left + ProgressRect.right) / 2, ProgressRect.top));
  const LONGLONG middle = CurrentPosition();
  ProgressRect.right = ProgressRect.left;  // a window exactly 16 character widths wide
  SeekByClick(MainWindow, At(ProgressRect.left, ProgressRect.top));
  EXPECT_EQ(middle, CurrentPosition());
}

TEST_F(Position, TopGoesBackToTheStartPlayingOrPaused) {
  AddSong("a.wav", 440, 4);
  PlayPause(MainWindow);
  Pump(700);
  ASSERT_GT(CurrentPosition(), 5000000);
  SetFocus(StopButton);
  SeekToTop(MainWindow);
  EXPECT_LT(CurrentPosition(), 2000000);
  EXPECT_EQ(StopButton, GetFocus());
  Pump(700);
  PlayPause(MainWindow);
  SeekToTop(MainWindow);
  EXPECT_EQ(0, CurrentPosition());
  PlayPause(MainWindow);  // resumes from the start
  Pump(100);
  EXPECT_LT(CurrentPosition(), 3000000);
}

TEST_F(Position, BarIsTwoCharacterWidthsTallAndNeedsADuration) {
  AddSong("a.wav", 440, 2);
  PlayPause(MainWindow);
  Pump(600);
  const RECT bar = ProgressRect;
  const int span = bar.right - bar.left;
  const int tall = 2 * LayoutMetrics.charWidth;
  const double saved = PlayerState.duration;
  PlayerState.duration = 0;  // unknown length: no bar, no division by zero
  InvalidateRect(MainWindow, &ProgressRect, TRUE);  // wipe what the timer drew
  UpdateWindow(MainWindow);
  DrawPosition(MainWindow);
  EXPECT_NE(RGB(0, 0, 0), PixelAt(bar.left + 1, bar.top + 2));
  PlayerState.duration = saved;
  const LONGLONG before = CurrentPosition();
  DrawPosition(MainWindow);
  const LONGLONG after = CurrentPosition();
  EXPECT_EQ(RGB(0, 0, 0), PixelAt(bar.left + 1, bar.top));
  EXPECT_EQ(RGB(0, 0, 0), PixelAt(bar.left + 1, bar.top + tall - 1));
  EXPECT_NE(RGB(0, 0, 0), PixelAt(bar.left + 1, bar.top + tall));
  const int shortest = static_cast<int>(span * (before * 1e-7) / saved);
  const int longest = static_cast<int>(span * (after * 1e-7) / saved);
  ASSERT_GT(shortest, 2);
  EXPECT_EQ(RGB(0, 0, 0), PixelAt(bar.left + shortest - 1, bar.top + 2));
  EXPECT_NE(RGB(0, 0, 0), PixelAt(bar.left + longest + 1, bar.top + 2));
}

TEST_F(Position, OneMessageDrainsEveryQueuedEvent) {
  AddSong("a.wav", 440, 4);
  AddSong("b.wav", 660, 4);
  PlayPause(MainWindow);
  Pump(200);
  Notify(EC_USER);
  Notify(EC_USER + 1);
  Notify(EC_USER + 2);
  IGraphBuilder *graph = PlaybackSession.graph;
  DrainEvents(MainWindow);
  long code;
  LONG_PTR first, second;
  EXPECT_TRUE(FAILED(PlaybackSession.events->GetEvent(&code, &first, &second, 0)));
  EXPECT_EQ(graph, PlaybackSession.graph);
  EXPECT_EQ(0, PlayCursor.current);
}

TEST_F(Position, EndOfSongAmongEventsStartsExactlyOneSong) {
  AddSong("a.wav", 440, 4);
  AddSong("b.wav", 660, 4);
  AddSong("c.wav", 880, 4);
  PlayPause(MainWindow);
  Pump(200);
  SetFocus(CentsEdit);
  Notify(EC_USER);
  Notify(EC_COMPLETE);
  Notify(EC_USER + 1);
  Notify(EC_COMPLETE);  // freed with the old graph: never a second song
  DrainEvents(MainWindow);
  EXPECT_EQ(1, PlayCursor.current);
  EXPECT_EQ(Playing, PlayerState.state);
  EXPECT_EQ(NextButton, GetFocus());
  EXPECT_TRUE(IsWindowEnabled(NextButton));
  OAFilterState state = State_Stopped;
  PlaybackSession.control->GetState(2000, &state);
  EXPECT_EQ(State_Running, state);
}

}  // namespace
