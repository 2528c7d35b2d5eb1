// The focus rule: no window but the buttons keeps the focus.
#pragma once

// Next while a song plays, Play otherwise.
void ApplyFocusRule();
