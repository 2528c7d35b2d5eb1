// The keep-tempo stage as a media object of the program's own (Win32): the
// time-stretcher on the decoded samples, hosted in the song's graph by the system's
// DMO wrapper filter, which creates it through COM by the class below.
#pragma once
#include <windows.h>

#include "player/keep_tempo.h"

extern const CLSID CLSID_KeepTempoStage;

// The class is known to COM, for this process only, between these two calls.
HRESULT RegisterKeepTempoClass(DWORD *cookie);
void RevokeKeepTempoClass(DWORD cookie);

// The pitch the stage plays at, in cents; a stage takes it with its next samples.
void SetKeepTempoCents(int cents);
// The tempo it plays at, in percent of the song's own.
void SetKeepTempoTempo(int percent);
// The voice setting a stage applies to stereo samples before the time-stretcher, as in
// VocalMode, from its next frame on; the stage's output keeps the song's times.
void SetKeepTempoVocal(int mode);

// Each seek of the song's graph, with the song's time it goes to (0 at a song's start),
// before the graph is asked for it: the stage's output follows the latest.
void SetKeepTempoSeek(LONGLONG songTime);
LONGLONG KeepTempoSeekTime();
// The loop a stage plays from the input it holds, in the song's milliseconds; an end not
// above the start: none.
void SetKeepTempoLoop(long startMs, long endMs);
// The record of the song's times of what the playing stage put out; false when it does
// not follow the latest seek yet.
bool ReadKeepTempoTimes(StageTimes *times);
