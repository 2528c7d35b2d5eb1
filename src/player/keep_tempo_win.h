// Keep tempo in a song's graph (Win32): the stage put between the decoder and the
// audio renderer, or taken out again, while the pitch moves without the tempo. Whether
// the current graph holds it is the session's to record (PlaybackSession.stage).
#pragma once
#include <windows.h>
#include <dshow.h>

// Puts the stage in front of the graph's audio renderer, playing at cents. False, with
// the graph as it was, when the song has no audio or the stage cannot be connected: the
// song then plays without it.
bool InsertKeepTempoStage(IGraphBuilder *graph, int cents);

// decoder -> renderer again. True when the graph no longer holds the stage.
bool RemoveKeepTempoStage(IGraphBuilder *graph);

// Whether the graph plays sound, so that the stage has a place in it.
bool GraphHasAudio(IGraphBuilder *graph);
// The channels of the sound the graph's audio renderer takes; 0 without one.
int GraphAudioChannels(IGraphBuilder *graph);
