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

HRESULT CreateSession(HWND mainWindow);
void ReleaseSession();
void ResetSession(HWND mainWindow);
bool OpenAndRun(const char *path);
void ShowGraphError(HRESULT result, const char *caption);
