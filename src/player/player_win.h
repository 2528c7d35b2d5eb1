// The player's controller (Win32): the play-next sequence, Play/Pause, Next and Stop,
// the unattended chain of songs (the end of a song, a start given up), and switching
// keep tempo. It alone decides what plays next; the units below it draw, pitch and
// wrap the graph.
#pragma once
#include <windows.h>

#include "player/player.h"
#include "player/session_win.h"
#include "player/song_chain.h"

extern const char NoMusicMessage[];  // "音楽ファイルが見つからない"

// The controller's one record: the player's state and the chain of songs it runs.
struct ControllerRecord {
  int state;                   // Stopped, Playing or Paused
  bool timerStarted;           // the position timer runs once the first song started
  ChainRun chainRun;           // the chain's run of songs that could not start
  bool chainRunning;           // the chain is starting songs (its own box may be open)
  bool chainWaits;             // a failure waits for the boxes to close to be decided
  SongFailure waitingFailure;  // that failure
  HeldCommand heldCommand;     // pressed while a box was open
};

extern ControllerRecord Controller;

// The state and all that shows it: the Play caption, Next's enabling (Stopped leaves it
// as the reset that emptied the graph left it) and whom the focus rule gives the focus.
void SetPlayerState(int state);

// Starts the next song: true when one is playing. A song that cannot start is told.
bool PlayNext(HWND mainWindow);

// Pressed while a message box of the program is open, these wait until it closes.
void PlayPause(HWND mainWindow);  // command 106
void NextSong(HWND mainWindow);   // command 107
void StopSong(HWND mainWindow);   // command 128

// After the setting or the tempo changed: the song that plays or pauses gets the stage,
// or loses it, where it stands, and the pitch is applied anew.
void SwitchKeepTempo(HWND mainWindow);

// Every tick of the position timer: a start that never gets there is given up (the
// chain goes on), else the position is drawn.
void TickPlayer(HWND mainWindow);
// The graph's events: an end of song goes on with the chain.
void DrainEvents(HWND mainWindow);
// WM_BOXES_CLOSED: the command held by a box, or the chain that waited for it.
void ObeyHeldCommand(HWND mainWindow);
