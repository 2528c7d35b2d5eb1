// What the floors below the player read of it: the current song's text. The player's
// own state is the controller's (player/player_win.h).
#pragma once

struct PlayerStateRecord {
  int matchedText;  // TextList index of the current song's text, -1 for none
};

extern PlayerStateRecord PlayerState;
