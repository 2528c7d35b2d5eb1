#include "textview/view_input.h"

#include "textview/textbuffer.h"

int WheelScrollStep(int delta, int linesPerNotch, int *carry) {
  long long total = static_cast<long long>(*carry) + delta;
  const long long notches = total / WHEEL_NOTCH;
  *carry = static_cast<int>(total - notches * WHEEL_NOTCH);
  if (notches == 0 || linesPerNotch == 0) return 0;
  long long page = TextView.viewHeight / 4;
  if (page < 1) page = 1;
  const long long perNotch =
      linesPerNotch == WHEEL_BY_PAGE ? page : static_cast<long long>(linesPerNotch) * TextView.linePitch;
  long long step = -notches * perNotch;
  // The thumb's own clamp: the step that takes the view to that position, within range.
  const long long limit = 1LL << 30;
  if (step > limit) step = limit;
  if (step < -limit) step = -limit;
  return ScrollStepFor(SCROLL_THUMB_TRACK, static_cast<int>(TextView.scrollPos + step));
}

int RowAtY(int y) {
  if (TextView.linePitch <= 0 || y < 0) return -1;
  const long long row = (static_cast<long long>(y) + TextView.scrollPos) / TextView.linePitch;
  return row < TextBuffer.lineCount ? static_cast<int>(row) : -1;
}
