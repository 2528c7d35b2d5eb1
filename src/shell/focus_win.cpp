#include "shell/focus_win.h"

#include "shell/player_state.h"
#include "shell/shell_win.h"

void ApplyFocusRule() { SetFocus(PlayerState.state == Playing ? NextButton : PlayButton); }
