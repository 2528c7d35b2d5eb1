// The graph's events as the test programs take them: drained as the main window drains
// them, but only to note the end of the file, where the player would start the next song.
#pragma once
#include <windows.h>

#include <dshow.h>

#include "player/session_win.h"
#include "resources/ids.h"

// For WM_GRAPH_EVENT while a graph is there: takes every queued event, sets *ended on
// the end of the file and returns true. Any other message is left to the caller.
inline bool TakeGraphEvents(UINT message, bool *ended) {
  if (message != WM_GRAPH_EVENT || !PlaybackSession.events) return false;
  long code;
  LONG_PTR p1, p2;
  while (SUCCEEDED(PlaybackSession.events->GetEvent(&code, &p1, &p2, 0))) {
    if (code == EC_COMPLETE) *ended = true;
    PlaybackSession.events->FreeEventParams(code, p1, p2);
  }
  return true;
}
