#include "player/player_win.h"

#include "app/message_box_win.h"
#include "app/shell_win.h"
#include "library/library.h"
#include "matching/matching_win.h"
#include "player/pitch.h"
#include "player/pitch_win.h"
#include "player/player.h"
#include "player/session_win.h"
#include "resources/ids.h"
#include "settings/settings.h"
#include "settings/settings_win.h"
#include "textview/textview_win.h"

const char NoMusicMessage[] = "音楽ファイルが見つからない";

// A text found hides the video and shrinks it to a pixel; no text lets it fill the view.
static void ShowOrHideVideo() {
  IVideoWindow *video = PlaybackSession.video;
  if (!video) return;
  if (PlayerState.matchedText == -1) {
    video->put_Visible(OATRUE);
  } else {
    video->put_Visible(OAFALSE);
    video->SetWindowPosition(0, 0, 1, 1);
  }
}

// The song's stored pitch goes into the cents box as stored; what does not parse
// plays at 0. Returns the cents.
static int RestoreStoredPitch(HWND mainWindow, const char *songPath) {
  char file[260];
  SettingsFilePath(file);
  char key[260];
  PitchEntryKey(songPath, key);
  char text[260];
  GetPrivateProfileStringA(SETTINGS_SECTION, key, "0", text, sizeof text, file);
  SetWindowTextA(GetDlgItem(mainWindow, ID_CENTS), text);
  return ParseDecimal(text);
}

// Seconds; 0 when the graph cannot tell, which leaves the bar empty.
static double SongDuration() {
  LONGLONG length = 0;
  if (!PlaybackSession.seeking || FAILED(PlaybackSession.seeking->GetDuration(&length)))
    return 0.0;
  return length * 1e-7;
}

bool PlayNext(HWND mainWindow) {
  if (MusicList.count == 0) {
    ShowMessageBox(mainWindow, NoMusicMessage, "BRAMLOE", MB_OK);
    return false;
  }
  PlayerState.matchedText = ChooseSong(MusicList.count, Settings.skip, FindText);
  LoadText(PlayerState.matchedText);
  const char *path = MusicList.paths[PlayCursor.current];
  if (!OpenAndRun(path)) return false;
  ShowOrHideVideo();
  int cents = RestoreStoredPitch(mainWindow, path);
  PlayerState.duration = SongDuration();
  ApplyPitch(cents);  // after Run: the rate lives in the running graph
  EnableWindow(GetDlgItem(mainWindow, ID_NEXT), TRUE);
  if (!PlayerState.timerStarted) {
    SetTimer(mainWindow, ID_POSITION_TIMER, 1, nullptr);
    PlayerState.timerStarted = 1;
  }
  return true;
}

static void SetPlayCaption(HWND mainWindow, const char *caption) {
  SetWindowTextA(GetDlgItem(mainWindow, ID_PLAY), caption);
}

// Pausing stops the graph rather than pausing it; Run resumes where it stood.
void PlayPause(HWND mainWindow) {
  switch (PlayerState.state) {
    case Stopped:
      if (!PlayNext(mainWindow)) return;
      PlayerState.state = Playing;
      SetPlayCaption(mainWindow, "&Pause");
      SetFocus(GetDlgItem(mainWindow, ID_NEXT));
      return;
    case Playing:
      if (PlaybackSession.control) PlaybackSession.control->Stop();
      PlayerState.state = Paused;
      SetPlayCaption(mainWindow, "&Play");
      return;
    default:
      if (PlaybackSession.control) PlaybackSession.control->Run();
      PlayerState.state = Playing;
      SetPlayCaption(mainWindow, "&Pause");
      return;
  }
}

// The bar is cleared by invalidating its frame; WM_PAINT draws it empty.
void NextSong(HWND mainWindow) {
  InvalidateRect(mainWindow, &ProgressRect, TRUE);
  ResetSession(mainWindow);
  if (PlayNext(mainWindow)) {
    PlayerState.state = Playing;
    SetPlayCaption(mainWindow, "&Pause");
  }
  SetFocus(GetDlgItem(mainWindow, ID_NEXT));
}

// The current song index stays: the next Play goes on after it.
void StopSong(HWND mainWindow) {
  InvalidateRect(mainWindow, &ProgressRect, TRUE);
  ResetSession(mainWindow);
  PlayerState.state = Stopped;
  SetPlayCaption(mainWindow, "&Play");
  SetFocus(GetDlgItem(mainWindow, ID_PLAY));
}
