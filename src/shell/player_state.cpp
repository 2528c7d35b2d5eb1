#include "shell/player_state.h"

// The matched text index starts at 0, not -1: until a song is chosen the editor and
// Reload work on the first text.
PlayerStateRecord PlayerState = {0};
