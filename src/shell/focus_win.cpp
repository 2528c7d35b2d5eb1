#include "shell/focus_win.h"

#include "shell/shell_win.h"

bool NextTakesFocus = false;

void ApplyFocusRule() { SetFocus(NextTakesFocus ? NextButton : PlayButton); }
