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
  LONGLONG rateAskedAt;  // performance counter when a rate was last handed over
  double duration;    // seconds of the song last started, 0 when the graph could not
                      // tell; a reset keeps it until the next song starts
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
// cents when the option is on, and notes its duration. On failure the reason goes to *failure, unshown, and
// the session is reset (not for a refused ogg, which left it untouched).
bool OpenSong(const char *path, int cents, SongFailure *failure);
// The same, telling the failure at once.
bool OpenAndRun(const char *path, int cents = 0);
void ShowGraphError(HRESULT result, const char *caption);

// After the scan: renders a temporary copy of the first bytes of one song of the
// MusicList into a graph of its own on a thread of its own and lets it go, never run;
// EndWarmUp asks it to end and waits for that thread (a while at most). OpenSong calls
// it first. See session_win.cpp.
void StartWarmUp();
void EndWarmUp();
// For tests: called on the warm-up's thread while it holds its rendered graph, with the
// copy and the render's result; endAsked is set once a Play or the exit ends the warm-up.
extern void (*WarmUpHeld)(const char *copy, HRESULT rendered, HANDLE endAsked);

// Run and Stop of the current graph; every Run and Stop of the player goes through them.
HRESULT RunGraph();
void StopGraph();
// True from a Run until the graph is seen running (false while stopped).
bool GraphStarting();
// True when the graph, not yet seen running, was asked to run longer than
// GraphStartLimit ago.
bool GraphStartOverdue();
