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
// Marks the line of a timed text whose time has come at position (100 ns units) and
// keeps it in view. Called on every position tick.
void FollowSongPosition(long long position);
// Whether the shown text is timed, so the tick must give it every position.
bool FollowsSong();
// The code page 932 bytes of a code point by the platform's tables; 0 when it lacks it.
int CodePage932FromPlatform(long codePoint, unsigned char *out);
