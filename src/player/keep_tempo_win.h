// Keep tempo in the song's graph (Win32): the stage put between the decoder and the
// audio renderer, or taken out again, while the pitch moves without the tempo.
#pragma once
#include <windows.h>
#include <dshow.h>

// Puts the stage in front of the graph's audio renderer, playing at the stored pitch
// of the song at songPath. False, with the graph as it was, when the song has no audio
// or the stage cannot be connected: the song then plays without it.
bool InsertKeepTempoStage(IGraphBuilder *graph, const char *songPath);

// True while the current graph holds the stage: the rate then stays 1.
bool KeepTempoStageActive();
// The graph goes: the stage with it.
void ForgetKeepTempoStage();

// After the setting changed: the song that plays or pauses gets the stage, or loses
// it, where it stands, and the pitch is applied anew.
void SwitchKeepTempo(HWND mainWindow);
