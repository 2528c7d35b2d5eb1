// The PlaybackSession: the one record of the song that plays, its graph and what is
// known of it (Win32). Whatever needs a fact about the current graph reads it here.
#pragma once
#include <windows.h>
#include <dshow.h>

struct PlaybackSessionRecord {
  IGraphBuilder *graph;
  IMediaControl *control;
  IMediaEventEx *events;
  IBasicAudio *audio;
  IMediaSeeking *seeking;
  IVideoWindow *video;
  bool song;          // a song has been rendered into the graph: it is not empty
  DWORD runAskedAt;   // GetTickCount when Run was asked; 0: not since the last Stop
  bool seenRunning;   // the graph has been seen running since that Run
  double rateAsked;   // the playback rate handed to the graph (1 on a new graph)
  bool stage;         // the keep-tempo stage is in the graph
};

extern PlaybackSessionRecord PlaybackSession;

// Asks the graph for its state without waiting; tests put a stand-in in front of it.
extern HRESULT (*AskGraphState)(IMediaControl *control, OAFilterState *state);
// How long a graph asked to run may take to get there before its song is given up.
extern DWORD GraphStartLimit;

HRESULT CreateSession(HWND mainWindow);
void ReleaseSession();
void ResetSession(HWND mainWindow);

// Why a song could not start: the message box that tells it, not yet shown.
struct SongFailure {
  HWND owner;
  const char *caption;  // null: the system's default caption
  char text[128];
};
void ShowSongFailure(const SongFailure &failure);

// Renders and runs the song at path in an empty graph, with the keep-tempo stage at
// cents when the option is on. On failure the reason goes to *failure, unshown, and
// the session is reset (not for a refused ogg, which left it untouched).
bool OpenSong(const char *path, int cents, SongFailure *failure);
// The same, telling the failure at once.
bool OpenAndRun(const char *path, int cents = 0);
void ShowGraphError(HRESULT result, const char *caption);

// After the scan: renders one song of the MusicList into a graph of its own on a thread
// of its own and lets it go, never run; EndWarmUp waits for that thread. See
// session_win.cpp.
void StartWarmUp();
void EndWarmUp();

// Run and Stop of the current graph; every Run and Stop of the player goes through them.
HRESULT RunGraph();
void StopGraph();
// True from a Run until the graph is seen running (false while stopped).
bool GraphStarting();
// True when the graph, not yet seen running, was asked to run longer than
// GraphStartLimit ago.
bool GraphStartOverdue();
