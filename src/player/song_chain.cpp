#include "player/song_chain.h"

ChainStep ChainFailed(ChainRun *run, int songs, bool boxOpen, bool folderGone) {
  // The failure is counted when it is decided, so a wait decides it again unchanged.
  if (boxOpen) return {false, CHAIN_WAIT};
  run->failures++;
  const bool show = !run->boxShown;
  run->boxShown = true;
  const bool round = run->failures >= (songs > 1 ? songs : 1);
  return {show, folderGone || round ? CHAIN_REST : CHAIN_TRY_NEXT};
}

HeldCommand HoldCommand(HeldCommand held, HeldCommand pressed) {
  return pressed == HELD_NONE ? held : pressed;
}

HeldAction HeldCommandAction(HeldCommand held, int state, bool songInGraph) {
  switch (held) {
    case HELD_STOP: return DO_STOP;
    case HELD_NEXT: return DO_NEXT;
    case HELD_PLAY:
      if (state == Stopped || !songInGraph) return DO_START;
      return state == Playing ? DO_PAUSE : DO_RESUME;
    default: return DO_NOTHING;
  }
}
