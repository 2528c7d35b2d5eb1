// The position bar, click-to-seek, Top and the end of a song on the real main window.
#include "wine/player_fixture_win.h"

#include "player/player_win.h"
#include "player/position.h"
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
    ASSERT_EQ(Playing, Controller.state);
    PlayPause(MainWindow);
    ASSERT_EQ(Paused, Controller.state);
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
  const LONGLONG duration = static_cast<LONGLONG>(PlaybackSession.duration * 1e7);
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
  const double saved = PlaybackSession.duration;
  PlaybackSession.duration = 0;  // unknown length: no bar, no division by zero
  InvalidateRect(MainWindow, &ProgressRect, TRUE);  // wipe what the timer drew
  UpdateWindow(MainWindow);
  DrawPosition(MainWindow);
  EXPECT_NE(RGB(0, 0, 0), PixelAt(bar.left + 1, bar.top + 2));
  PlaybackSession.duration = saved;
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

// After some ticks of the real timer, one more tick by hand between two readings of
// the position: the bar must then be exactly what drawing it on every tick gives, black
// from the frame's left edge to the width of a position between the two readings,
// across the frame's inside rows as tall as the bar, the rest of the inside white.
class PositionBarPixels : public Position {
 protected:
  void ExpectBarAsTheRule(const char *when) {
    Pump(150);
    const RECT frame = ProgressRect;
    const int span = frame.right - frame.left;
    const int least = PositionBarWidth(span, CurrentPosition() * 1e-7, PlaybackSession.duration);
    DrawPosition(MainWindow);
    const int most = PositionBarWidth(span, CurrentPosition() * 1e-7, PlaybackSession.duration);
    const int tall = 2 * LayoutMetrics.charWidth;
    HDC dc = GetDC(MainWindow);
    int width = 0;
    while (frame.left + 1 + width < frame.right - 1 &&
           GetPixel(dc, frame.left + 1 + width, frame.top + 1) == RGB(0, 0, 0))
      width++;
    if (width) width++;  // the first column is the frame's border
    int wrong = 0, firstWrongX = -1, firstWrongY = -1;
    for (int y = frame.top + 1; y < frame.bottom - 1; y++) {
      for (int x = frame.left + 1; x < frame.right - 1; x++) {
        const bool black = GetPixel(dc, x, y) == RGB(0, 0, 0);
        const bool inBar = x < frame.left + width && y < frame.top + tall;
        if (black == inBar) continue;
        if (!wrong++) firstWrongX = x, firstWrongY = y;
      }
    }
    ReleaseDC(MainWindow, dc);
    EXPECT_TRUE(width >= least && width <= most)
        << when << ": the bar is " << width << " wide, the rule gives " << least << " to " << most;
    EXPECT_EQ(0, wrong) << when << ": first wrong pixel at " << firstWrongX - frame.left << ", "
                        << firstWrongY - frame.top;
  }
};

TEST_F(PositionBarPixels, BarFollowsTheRuleThroughSeeksResizesAndRepaints) {
  AddSong("long.wav", 440, 20);
  PlayPause(MainWindow);
  ASSERT_EQ(Playing, Controller.state);
  Pump(500);
  ExpectBarAsTheRule("playing");
  Pump(700);
  ExpectBarAsTheRule("playing on");
  ASSERT_GT(CurrentPosition(), 5000000);
  const RECT frame = ProgressRect;
  SeekByClick(MainWindow, At(frame.left + (frame.right - frame.left) * 3 / 4, frame.top));
  ExpectBarAsTheRule("sought forward");
  SeekByClick(MainWindow, At(frame.left + (frame.right - frame.left) / 3, frame.top));
  ExpectBarAsTheRule("sought back");
  Pump(400);
  ExpectBarAsTheRule("playing after the seek");
  SeekToTop(MainWindow);
  Pump(300);
  ExpectBarAsTheRule("from the top");
  RECT window;
  GetWindowRect(MainWindow, &window);
  SetWindowPos(MainWindow, nullptr, 0, 0, (window.right - window.left) * 2 / 3,
               window.bottom - window.top - 40, SWP_NOMOVE | SWP_NOZORDER);
  ExpectBarAsTheRule("resized");
  Pump(500);
  ExpectBarAsTheRule("playing after the resize");
  InvalidateRect(MainWindow, nullptr, TRUE);
  UpdateWindow(MainWindow);
  ExpectBarAsTheRule("repainted");
  Pump(300);
  InvalidateRect(MainWindow, &ProgressRect, TRUE);
  ExpectBarAsTheRule("the frame repainted");
}

// In a window too small for its layout the Stop button lies over the bar. Its face,
// repainted between two pixels of the bar's growth, is drawn black again by the next
// tick, as drawing the bar on every tick would.
TEST_F(Position, BarUnderAChildIsDrawnAgainAfterTheChildRepaints) {
  AddSong("short.wav", 440, 4);
  RECT window, client;
  GetWindowRect(MainWindow, &window);
  GetClientRect(MainWindow, &client);
  const int frameHeight = (window.bottom - window.top) - client.bottom;
  SetWindowPos(MainWindow, nullptr, 0, 0, window.right - window.left,
               frameHeight + 4 * LayoutMetrics.halfLineHeight, SWP_NOMOVE | SWP_NOZORDER);
  PlayPause(MainWindow);
  ASSERT_EQ(Playing, Controller.state);
  Pump(1000);
  const RECT frame = ProgressRect;
  RECT stop;
  GetWindowRect(StopButton, &stop);
  MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT *>(&stop), 2);
  const int x = frame.left + 1, y = frame.top + 1;
  ASSERT_TRUE(stop.left <= x && x < stop.right && stop.top <= y && y < stop.bottom);
  ASSERT_GT(PositionBarWidth(frame.right - frame.left, CurrentPosition() * 1e-7, PlaybackSession.duration), 2);
  for (int i = 0; i < 3; i++) {
    InvalidateRect(StopButton, nullptr, TRUE);
    UpdateWindow(StopButton);
    ASSERT_NE(RGB(0, 0, 0), PixelAt(x, y)) << "the button's face is back";
    DrawPosition(MainWindow);
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(x, y)) << "tick " << i;
  }
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
  EXPECT_EQ(Playing, Controller.state);
  EXPECT_EQ(NextButton, GetFocus());
  EXPECT_TRUE(IsWindowEnabled(NextButton));
  OAFilterState state = State_Stopped;
  PlaybackSession.control->GetState(2000, &state);
  EXPECT_EQ(State_Running, state);
}

}  // namespace
