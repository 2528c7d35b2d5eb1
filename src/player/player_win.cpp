#include "player/player_win.h"

#include "library/library.h"
#include "matching/matching_win.h"
#include "player/pitch_win.h"
#include "player/player.h"
#include "player/position_win.h"
#include "player/practice_win.h"
#include "player/session_win.h"
#include "resources/ids.h"
#include "settings/settings.h"
#include "settings/settings_win.h"
#include "shell/message_box_win.h"
#include "shell/path_bytes.h"
#include "shell/shell_win.h"
#include "textview/textview_win.h"

const char NoMusicMessage[] = "音楽ファイルが見つからない";

// The song's stored pitch goes into the cents box as stored; what does not parse
// plays at 0. Returns the cents.
static int RestoreStoredPitch(const char *songPath) {
  char text[PATH_BYTES];
  ReadPitchEntry(songPath, text, sizeof text);
  SetWindowTextA(CentsEdit, text);
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
  RestorePractice(path);  // the tempo decides whether the graph takes the stage
  if (!OpenAndRun(path)) return false;
  ShowOrHideVideo();
  int cents = RestoreStoredPitch(path);
  PlayerState.duration = SongDuration();
  ApplyPitch(cents);  // after Run: the rate lives in the running graph
  EnableWindow(NextButton, TRUE);
  if (!PlayerState.timerStarted) {
    SetTimer(mainWindow, ID_POSITION_TIMER, 1, nullptr);
    PlayerState.timerStarted = 1;
  }
  return true;
}

static void SetPlayCaption(const char *caption) { SetWindowTextA(PlayButton, caption); }

// Pausing stops the graph rather than pausing it; Run resumes where it stood.
void PlayPause(HWND mainWindow) {
  switch (PlayerState.state) {
    case Stopped:
      if (!PlayNext(mainWindow)) return;
      PlayerState.state = Playing;
      SetPlayCaption("&Pause");
      SetFocus(NextButton);
      return;
    case Playing:
      StopGraph();
      PlayerState.state = Paused;
      SetPlayCaption("&Play");
      return;
    default:
      // A graph run again goes on from its own time, which a tempo has left behind.
      if (Practice.tempo != TEMPO_DEFAULT) SeekSongTo(mainWindow, SongTimeNow());
      RunGraph();
      PlayerState.state = Playing;
      SetPlayCaption("&Pause");
      return;
  }
}

// A song that could not start leaves an empty graph: the state says so, and Play
// starts the next one.
static void SettleStopped() {
  PlayerState.state = Stopped;
  SetPlayCaption("&Play");
}

// The bar is cleared by invalidating its frame; WM_PAINT draws it empty.
void NextSong(HWND mainWindow) {
  InvalidateRect(mainWindow, &ProgressRect, TRUE);
  ResetSession(mainWindow);
  if (PlayNext(mainWindow)) {
    PlayerState.state = Playing;
    SetPlayCaption("&Pause");
  } else {
    SettleStopped();
  }
  SetFocus(NextButton);
}

// One song that cannot start does not end the music: after its message the chain goes
// on with the one after it, once around the list at most, so a folder where nothing
// plays ends stopped rather than looping. The state is otherwise left as it was.
bool PlayFollowingSong(HWND mainWindow) {
  int tries = 0;
  do {  // an empty list gets its message once
    if (PlayNext(mainWindow)) return true;
  } while (++tries < MusicList.count);
  SettleStopped();
  return false;
}

// The current song index stays: the next Play goes on after it.
void StopSong(HWND mainWindow) {
  InvalidateRect(mainWindow, &ProgressRect, TRUE);
  ResetSession(mainWindow);
  PlayerState.state = Stopped;
  SetPlayCaption("&Play");
  SetFocus(PlayButton);
}
