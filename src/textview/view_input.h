// The mouse over the text view: the wheel's scroll step and the row under a click.
// Portable.
#pragma once

enum {
  WHEEL_NOTCH = 120,              // the wheel's delta for one notch
  WHEEL_BY_PAGE = -1,             // the system's setting for a page a notch
};

// The clamped scroll step in pixels for a wheel delta (positive: away from the user,
// up the text), linesPerNotch text lines a notch (WHEEL_BY_PAGE: the scroll bar's page
// step). Deltas less than a notch are kept in *carry until they make one.
int WheelScrollStep(int delta, int linesPerNotch, int *carry);

// The TextBuffer row drawn at y pixels from the top of the view; -1 for none.
int RowAtY(int y);
