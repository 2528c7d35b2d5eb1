// The video of a song without a text: it fills the TextView, and shrinks to one pixel
// behind a text.
#include <windows.h>
#include <dshow.h>

#include "shell/player_state.h"
#include "shell/shell_win.h"
#include "textview/textbuffer.h"
#include "textview/textview_win.h"

static IVideoWindow *HostedVideo;

// Makes the TextView the owner of the video window and covers it; for a file without
// video every call fails, which is fine.
void AttachVideo(IVideoWindow *video) {
  HostedVideo = video;
  video->put_Owner(reinterpret_cast<OAHWND>(TextViewWindow));
  video->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
  RECT client = {0, 0, 0, 0};
  GetClientRect(TextViewWindow, &client);
  video->SetWindowPosition(0, 0, client.right, client.bottom);
  video->SetWindowForeground(OATRUE);
}

void DetachVideo() { HostedVideo = nullptr; }

// A text found hides the video and shrinks it to a pixel; no text lets it fill the view.
void ShowOrHideVideo() {
  if (!HostedVideo) return;
  if (PlayerState.matchedText == -1) {
    HostedVideo->put_Visible(OATRUE);
  } else {
    HostedVideo->put_Visible(OAFALSE);
    HostedVideo->SetWindowPosition(0, 0, 1, 1);
  }
}

// The video fills the view when no text is shown, else it shrinks to one pixel.
void PlaceVideo() {
  if (!HostedVideo) return;
  if (PlayerState.matchedText == -1)
    HostedVideo->SetWindowPosition(0, 0, TextView.viewWidth, TextView.viewHeight);
  else
    HostedVideo->SetWindowPosition(0, 0, 1, 1);
}
