// The play-next choice over the MusicList, and the player's states.
#pragma once

#include "shell/player_state.h"

enum PlayerStateValue { Stopped = 0, Playing = 1, Paused = 2 };

// One text lookup of the play-next sequence: the TextList index for MusicList entry
// songIndex, or -1; attempt counts the songs tried in this sequence from 1.
typedef int (*SongTextLookup)(int songIndex, int attempt);

// Advances the PlayCursor over a MusicList of count songs (count > 0): a random entry
// when the shuffle flag is on, else the following one. With skip on, songs without a
// text are passed over, at most count of them. Returns the matched text index.
int ChooseSong(int count, int skip, SongTextLookup lookUp);
