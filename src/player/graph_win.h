// Helpers over a media framework graph (Win32): pins, the audio renderer, media types.
// They know nothing of the program's graph; they are given the one to work on.
#pragma once
#include <windows.h>
#include <dshow.h>

// Releases an interface and clears the pointer, so a released one is never called.
template <typename Interface>
void ReleaseInterface(Interface **pointer) {
  if (*pointer) {
    (*pointer)->Release();
    *pointer = nullptr;
  }
}

// The filter's first pin of the direction, with a reference, or null.
IPin *PinOf(IBaseFilter *filter, PIN_DIRECTION direction);

// Frees what a media type holds and empties it.
void FreeMediaType(AM_MEDIA_TYPE *type);

// The input of the graph's audio renderer: a filter without outputs whose input is
// connected to audio, with a reference. Null for a song without sound, or an empty graph.
IPin *AudioRendererInput(IGraphBuilder *graph);

// The default audio renderer, added to the graph, with a reference; null when it cannot be.
IBaseFilter *AddAudioRenderer(IGraphBuilder *graph);

// Takes the renderer out of the graph when nothing is connected to it.
void DropUnusedRenderer(IGraphBuilder *graph, IBaseFilter *renderer);
