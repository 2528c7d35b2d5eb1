// The PlaybackSession: the media framework's graph for the current song (Win32).
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
};

extern PlaybackSessionRecord PlaybackSession;

// Asks the graph for its state without waiting; tests put a stand-in in front of it.
extern HRESULT (*AskGraphState)(IMediaControl *control, OAFilterState *state);
// How long a graph asked to run may take to get there before its song is given up.
extern DWORD GraphStartLimit;

HRESULT CreateSession(HWND mainWindow);
void ReleaseSession();
void ResetSession(HWND mainWindow);
bool OpenAndRun(const char *path);
void ShowGraphError(HRESULT result, const char *caption);

// After the scan: renders one song of the MusicList into a graph of its own on a thread
// of its own and lets it go, never run; EndWarmUp waits for that thread. See
// session_win.cpp.
void StartWarmUp();
void EndWarmUp();

// The filter's first pin of the direction, with a reference, or null.
IPin *PinOf(IBaseFilter *filter, PIN_DIRECTION direction);

// Run and Stop of the current graph; every Run and Stop of the player goes through them.
HRESULT RunGraph();
void StopGraph();
// True from a Run until the graph is seen running (false while stopped).
bool GraphStarting();
// True when the graph, not yet seen running, was asked to run longer than
// GraphStartLimit ago.
bool GraphStartOverdue();
