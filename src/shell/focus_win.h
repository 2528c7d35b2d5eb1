// The focus rule: no window but the buttons keeps the focus.
#pragma once

// Whom the rule gives the focus: Next while a song plays, else Play. Set by the player
// with its state.
extern bool NextTakesFocus;

void ApplyFocusRule();
