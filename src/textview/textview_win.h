// The text view window and the video shown inside it (Win32).
#pragma once
#include <windows.h>

struct IVideoWindow;

LRESULT CALLBACK TextViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void ScrollTextView(int code, int pos);
void LoadText(int index);
void UpdateScrollRange();

// The video window of the song's graph, hosted by the TextView from its opening until
// its graph is released: made its child, then shown or hidden once the graph runs. A
// resize of the TextView sizes its child itself.
void AttachVideo(IVideoWindow *video);
void ShowOrHideVideo(IVideoWindow *video);
void PlaceVideo(HWND view);  // on the TextView's resize
// Marks the line of a timed text whose time has come at position (100 ns units, where
// the listener is in the song) and keeps it in view; the marked line's rows are drawn
// anew while its fill moves. Called on every position tick.
void FollowSongPosition(long long position);
// The song's time in ms where the listener is, read at each paint for the fill of a
// line with word tags. Set by the program above the view; null: the time last followed.
extern long (*SongMsHeard)();
// The moments a paint drew a new fill position (performance counter, in microseconds),
// the last FILL_TRACE of them, for the tests and benchmarks that time the fill.
enum { FILL_TRACE = 2048 };  // more than 10 s of a position timer's ticks
struct FillTraceRecord {
  long long at[FILL_TRACE];  // the count-th drawn at at[(count - 1) % FILL_TRACE]
  double cells[FILL_TRACE];  // the line's cells filled then
  int count;
};
extern FillTraceRecord FillTrace;
// Whether the shown text is timed, so the tick must give it every position.
bool FollowsSong();
// What a click on a line of a timed text asks of the song: a seek to the line's time,
// and on a double click a loop from it to the next line's time (-1: to the song's end).
// Set by the program above the view; null asks nothing.
extern void (*SeekSongToLine)(long ms);
extern void (*LoopSongLine)(long startMs, long endMs);
// After timing's stamps or marker moved: the marker's line brought into view, the
// marks drawn anew.
void ShowTimingInView();
// A new shift of the lyrics' times, shown at once.
void ShiftLyricsInView(long offset);
// The code page 932 bytes of a code point by the platform's tables; 0 when it lacks it.
int CodePage932FromPlatform(long codePoint, unsigned char *out);
