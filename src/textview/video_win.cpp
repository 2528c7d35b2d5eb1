// The video of a song without a text: it fills the TextView, and shrinks to one pixel
// behind a text.
#include <windows.h>
#include <dshow.h>

#include "shell/player_state.h"
#include "shell/shell_win.h"
#include "textview/textbuffer.h"
#include "textview/textview_win.h"

// Makes the TextView the owner of the video window and covers it; for a file without
// video every call fails, which is fine.
void AttachVideo(IVideoWindow *video) {
  video->put_Owner(reinterpret_cast<OAHWND>(TextViewWindow));
  video->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
  RECT client = {0, 0, 0, 0};
  GetClientRect(TextViewWindow, &client);
  video->SetWindowPosition(0, 0, client.right, client.bottom);
  video->SetWindowForeground(OATRUE);
}

// A text found hides the video and shrinks it to a pixel; no text lets it fill the view.
void ShowOrHideVideo(IVideoWindow *video) {
  if (PlayerState.matchedText == -1) {
    video->put_Visible(OATRUE);
  } else {
    video->put_Visible(OAFALSE);
    video->SetWindowPosition(0, 0, 1, 1);
  }
}

// The video window is the TextView's only child once a graph has made it so; it goes
// with its graph. It fills the view when no text is shown, else it shrinks to a pixel.
void PlaceVideo(HWND view) {
  HWND video = GetWindow(view, GW_CHILD);
  if (!video) return;
  const bool fill = PlayerState.matchedText == -1;
  SetWindowPos(video, nullptr, 0, 0, fill ? TextView.viewWidth : 1, fill ? TextView.viewHeight : 1,
               SWP_NOZORDER | SWP_NOACTIVATE);
}
