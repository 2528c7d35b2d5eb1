#include "player/player_win.h"

#include <dshow.h>

#include "library/library.h"
#include "matching/matching_win.h"
#include "player/keep_tempo_win.h"
#include "player/pitch_win.h"
#include "player/position_win.h"
#include "player/practice_win.h"
#include "player/timing_win.h"
#include "resources/ids.h"
#include "settings/settings.h"
#include "settings/settings_win.h"
#include "shell/focus_win.h"
#include "shell/message_box_win.h"
#include "shell/path_bytes.h"
#include "shell/shell_win.h"
#include "textview/textview_win.h"

const char NoMusicMessage[] = "音楽ファイルが見つからない";

ControllerRecord Controller = {Stopped, false, {0, false}, false, false, {}, HELD_NONE};

void SetPlayerState(int state) {
  Controller.state = state;
  SetWindowTextA(PlayButton, state == Playing ? "&Pause" : "&Play");
  if (state != Stopped) EnableWindow(NextButton, TRUE);
  NextTakesFocus = state == Playing;
}

// The stored pitch is read once: the stage starts at it, the cents box shows it as
// stored, and what does not parse plays at 0.
static bool StartNextSong(HWND mainWindow, SongFailure *failure) {
  if (MusicList.count == 0) {
    failure->owner = mainWindow;
    failure->caption = "BRAMLOE";
    lstrcpynA(failure->text, NoMusicMessage, sizeof failure->text);
    return false;
  }
  EndTimingBeforeNewText(mainWindow);
  PlayerState.matchedText = ChooseSong(MusicList.count, Settings.skip, FindText);
  LoadText(PlayerState.matchedText);
  const char *path = MusicList.paths[PlayCursor.current];
  char stored[PATH_BYTES];
  ReadPitchEntry(path, stored, sizeof stored);
  const int cents = ParseDecimal(stored);
  RestorePractice(path);  // the tempo decides whether the graph takes the stage
  if (!OpenSong(path, cents, failure)) return false;
  if (PlaybackSession.video) ShowOrHideVideo(PlaybackSession.video);
  SetWindowTextA(CentsEdit, stored);
  ApplyPitch(cents);  // after Run: the rate lives in the running graph
  if (!Controller.timerStarted) {
    SetTimer(mainWindow, ID_POSITION_TIMER, 1, nullptr);
    Controller.timerStarted = true;
  }
  return true;
}

bool PlayNext(HWND mainWindow) {
  SongFailure failure;
  if (StartNextSong(mainWindow, &failure)) return true;
  ShowSongFailure(failure);
  return false;
}

// A command pressed while a box is open would run inside the box's loop, under the
// code that waits for the box: it waits instead, and is obeyed once the box closes.
static bool HeldByBox(HeldCommand command) {
  if (!MessageBoxOpen()) return false;
  Controller.heldCommand = HoldCommand(Controller.heldCommand, command);
  NotifyWhenBoxesClose();
  return true;
}

// A command of the user's ends whatever the chain was waiting to do. Nothing that
// fails to start plays: the state says so, and Play starts the next song.
static void StartPlaying(HWND mainWindow) {
  Controller.chainWaits = false;
  if (!PlayNext(mainWindow)) {
    SetPlayerState(Stopped);
    return;
  }
  SetPlayerState(Playing);
  ApplyFocusRule();
}

// Pausing stops the graph rather than pausing it; Run resumes where it stood.
void PlayPause(HWND mainWindow) {
  if (HeldByBox(HELD_PLAY)) return;
  switch (Controller.state) {
    case Stopped: StartPlaying(mainWindow); return;
    case Playing:
      StopGraph();
      SetPlayerState(Paused);
      return;
    default:
      // A graph run again goes on from its own time, which a tempo has left behind.
      // With the stage the seek also tells it the song's time it starts from.
      if (PlaybackSession.stage) SeekSongTo(mainWindow, SongTimeNow());
      RunGraph();
      SetPlayerState(Playing);
      return;
  }
}

// The bar is cleared by invalidating its frame; WM_PAINT draws it empty. The focus
// stays on Next, also when nothing could start.
void NextSong(HWND mainWindow) {
  if (HeldByBox(HELD_NEXT)) return;
  Controller.chainWaits = false;
  InvalidateRect(mainWindow, &ProgressRect, TRUE);
  ResetSession(mainWindow);
  SetPlayerState(PlayNext(mainWindow) ? Playing : Stopped);
  SetFocus(NextButton);
}

// The current song index stays: the next Play goes on after it.
void StopSong(HWND mainWindow) {
  if (HeldByBox(HELD_STOP)) return;
  EndTiming(mainWindow);
  Controller.chainWaits = false;
  InvalidateRect(mainWindow, &ProgressRect, TRUE);
  ResetSession(mainWindow);
  SetPlayerState(Stopped);
  ApplyFocusRule();
}

// The folder a scanned list came from is gone (renamed, unplugged): no song of it can
// start, so the chain need not try them all. A dropped list has no such folder.
static bool MusicFolderGone() {
  if (!PlayCursor.shuffle || !Settings.musicpath[0]) return false;
  const DWORD attributes = GetFileAttributesA(Settings.musicpath);
  return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Songs are tried until one starts. Of a run of songs that cannot start only the first
// is told, and never under another box of the program: then the decision waits for it
// to close. A whole round of failures, or a vanished folder, rests Stopped; a command
// pressed under the chain's box takes over once the box closes.
static void GoOnWithChain(HWND mainWindow) {
  ControllerRecord &c = Controller;
  c.chainRunning = true;
  bool started = false, rested = false;
  for (;;) {
    SongFailure failure;
    if (c.chainWaits) {
      failure = c.waitingFailure;
      c.chainWaits = false;
    } else if (StartNextSong(mainWindow, &failure)) {
      started = true;
      SetPlayerState(c.state);  // the state goes on; Next has a song to pass over again
      break;
    }
    const ChainStep step = ChainFailed(&c.chainRun, MusicList.count, MessageBoxOpen(), MusicFolderGone());
    if (step.next == CHAIN_WAIT) {
      c.waitingFailure = failure;
      c.chainWaits = true;
      NotifyWhenBoxesClose();
      break;
    }
    if (step.showBox) ShowSongFailure(failure);
    if (c.heldCommand != HELD_NONE) break;
    if (step.next == CHAIN_REST) {
      SetPlayerState(Stopped);
      rested = true;
      break;
    }
  }
  c.chainRunning = false;
  InvalidateRect(mainWindow, &ProgressRect, TRUE);
  // Nothing started: the focus rule gives Play, the one button that can start a song.
  HWND button = started ? NextButton : rested ? PlayButton : nullptr;
  if (button && GetFocus() != button) SetFocus(button);
}

// The song has ended, or its start was given up: a fresh graph and a new run.
static void EndOfSong(HWND mainWindow) {
  if (Controller.chainRunning) return;  // from the loop of the chain's own box
  StopGraph();
  ResetSession(mainWindow);
  Controller.chainRun = ChainRun{0, false};
  Controller.chainWaits = false;
  GoOnWithChain(mainWindow);
}

void TickPlayer(HWND mainWindow) {
  if (GraphStarting()) {
    // A start given up opens no box under another one: the next tick after it closes.
    if (Controller.state == Playing && GraphStartOverdue() && !MessageBoxOpen()) EndOfSong(mainWindow);
    return;
  }
  DrawPosition(mainWindow);
}

// Empties the queue; every event is freed before it is looked at. After an end of song
// the loop goes on with the new graph's queue: the old one's events went with it.
void DrainEvents(HWND mainWindow) {
  while (PlaybackSession.events) {
    long code;
    LONG_PTR first, second;
    if (FAILED(PlaybackSession.events->GetEvent(&code, &first, &second, 0))) return;
    PlaybackSession.events->FreeEventParams(code, first, second);
    if (code == EC_COMPLETE) EndOfSong(mainWindow);
  }
}

void ObeyHeldCommand(HWND mainWindow) {
  if (MessageBoxOpen()) {  // another box opened before this message came
    NotifyWhenBoxesClose();
    return;
  }
  const HeldCommand command = Controller.heldCommand;
  Controller.heldCommand = HELD_NONE;
  if (command == HELD_NONE) {
    if (Controller.chainWaits) GoOnWithChain(mainWindow);
    return;
  }
  Controller.chainWaits = false;
  switch (HeldCommandAction(command, Controller.state, PlaybackSession.song)) {
    case DO_STOP: StopSong(mainWindow); return;
    case DO_NEXT: NextSong(mainWindow); return;
    case DO_START: StartPlaying(mainWindow); return;
    case DO_PAUSE:
    case DO_RESUME: PlayPause(mainWindow); return;
    default: return;
  }
}

// A graph is changed only while stopped: a playing song is stopped, changed, put back
// where it stood and run again, which costs a moment's gap rather than the song.
void SwitchKeepTempo(HWND mainWindow) {
  char text[PATH_BYTES];
  GetWindowTextA(CentsEdit, text, sizeof text);
  const int cents = ParseDecimal(text);
  PlaybackSessionRecord &s = PlaybackSession;
  const bool wanted = PracticeStageWanted();
  if (s.graph && wanted != s.stage && GraphHasAudio(s.graph)) {
    const LONGLONG position = SongTimeNow();  // the song's own time, whatever the tempo
    const bool running = Controller.state == Playing;
    if (running) StopGraph();
    // With keep tempo off the stage keeps the pitch, and the rate carries the cents.
    s.stage = wanted ? InsertKeepTempoStage(s.graph, KeepTempo ? cents : 0) : !RemoveKeepTempoStage(s.graph);
    SeekSongTo(mainWindow, position);
    if (running) RunGraph();
  }
  ApplyPitch(cents);
}
