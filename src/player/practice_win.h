// Practising the song that plays (Win32): its tempo through the keep-tempo stage, its
// loop, and what is stored of both; the song's own time read through the tempo.
#pragma once
#include <windows.h>

#include "player/practice.h"
// At a song's start, before its graph is built: its stored tempo, loop, lyrics' shift
// and voice setting, and the song's clock from 0.
void RestorePractice(const char *songPath);
// Mem: the tempo, the loop and the voice setting beside the cents, where they differ
// from the default or the song has them stored already.
void StorePractice(const char *songPath);

// The song's own time for the graph's position, and the note of a seek to songTime.
LONGLONG SongTimeOfGraph(LONGLONG graphTime);
// The tempo the song is heard at: 100 when its graph has no stage.
int PlayedTempo();
void NoteSongSeek(LONGLONG songTime);
// The song's time now, 100 ns units (milliseconds); where it last stood without a graph
// that can tell.
LONGLONG SongTimeNow();
long SongMsNow();
// Where the listener is in the song, the output delay taken off the graph's position
// (see HeardTimeOf): what the lyrics' mark and fill follow, and anything else that
// times what is heard. 100 ns units (milliseconds).
LONGLONG HeardSongTimeOfGraph(LONGLONG graphTime);
// Both for one graph's time, from one reading of the stage's record: the position tick's.
void SongTimesOfGraph(LONGLONG graphTime, LONGLONG *song, LONGLONG *heard);
LONGLONG HeardSongTime();
long HeardSongMs();

// Whether the position must be watched on every tick: a loop that jumps back.
bool LoopWatched();
// The loop as it stands now, for the stage to play; after every change of it.
void TellStageTheLoop();
// Whether the stage plays the loop from what it holds, so that the song needs no seek
// back at the loop's end.
bool LoopPlayedByStage();
// The loop's marks over the progress frame; nothing without a loop.
void DrawLoopMarks(HWND mainWindow);
// A new tempo for the song that plays (the stage, if any, takes it with its next
// samples); whether the graph needs the stage now is the controller's to settle.
void SetPracticeTempo(int tempo);
// A new voice setting for the song that plays (a stage takes it with its next frame);
// whether the graph needs the stage now is the controller's to settle.
void SetPracticeVocal(int mode);
