// The rules of the unattended chain of songs (the end of a song, a start given up) and
// of Play, Next and Stop pressed while a message box is open. Portable: the controller
// (player_win.cpp) applies them.
#pragma once

#include "player/player.h"  // the states a held command meets

// One run of failures: the chain's songs that could not start, one after another.
struct ChainRun {
  int failures;   // songs of the run so far
  bool boxShown;  // the run has shown its message
};

enum ChainNext {
  CHAIN_TRY_NEXT,  // go on with the next song
  CHAIN_REST,      // give up: rest Stopped, Play offered
  CHAIN_WAIT,      // a box is open: decide again once it closes
};

struct ChainStep {
  bool showBox;  // show this song's message now
  ChainNext next;
};

// A song of the chain could not start. songs: the MusicList's count; boxOpen: a box of
// the program is open now; folderGone: the music folder the list was scanned from no
// longer exists. Only the run's first failure shows its message, never under another
// box; a whole round of failures, or a vanished folder, ends the chain.
ChainStep ChainFailed(ChainRun *run, int songs, bool boxOpen, bool folderGone);

// The commands a box holds until it closes, and what they become then.
enum HeldCommand { HELD_NONE, HELD_PLAY, HELD_NEXT, HELD_STOP };
enum HeldAction { DO_NOTHING, DO_STOP, DO_NEXT, DO_START, DO_PAUSE, DO_RESUME };

// The command kept when pressed is pressed while held waits: the last one pressed.
HeldCommand HoldCommand(HeldCommand held, HeldCommand pressed);

// What a held command does once the box has closed, for the player's state (the
// values of PlayerStateValue) and whether the graph holds a song. Play with nothing in
// the graph (the chain was between songs) starts a song, as from Stopped.
HeldAction HeldCommandAction(HeldCommand held, int state, bool songInGraph);
