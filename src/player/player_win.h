// The play-next sequence and the Play/Pause, Next and Stop commands (Win32).
#pragma once
#include <windows.h>

extern const char NoMusicMessage[];  // "音楽ファイルが見つからない"

// Starts the next song: true when one is playing.
bool PlayNext(HWND mainWindow);

// The end-of-song start: PlayNext, and after a song that cannot start the ones after it,
// once around the list; false, with the state Stopped, when none starts.
bool PlayFollowingSong(HWND mainWindow);

void PlayPause(HWND mainWindow);  // command 106
void NextSong(HWND mainWindow);   // command 107
void StopSong(HWND mainWindow);   // command 128
