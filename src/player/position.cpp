#include "player/position.h"

#include <cmath>

int PositionBarWidth(int barSpan, double seconds, double duration) {
  // A window narrower than its controls gives a frame whose right edge lies left of
  // its left one: no bar, rather than a negative width of any size.
  if (barSpan <= 0 || !(duration > 0.0) || !(seconds > 0.0)) return 0;
  long double width = (long double)barSpan * seconds / duration;
  if (!(width < 1e9L)) return 0;  // a position far past the end is no bar to draw
  return (int)width;
}

namespace {
const double ClockStep = 0.03;    // seconds of media time the graph's clock may jump ahead
const double SpeedMargin = 1.05;  // and how much faster than the rate it may run
const double Never = 1e9;
}  // namespace

double PositionBarPixelWait(int barSpan, int width, double seconds, double duration, double rate) {
  if (!(duration > 0.0) || barSpan <= 0 || width < 0) return Never;
  // The width is span × seconds ÷ duration truncated: it passes width at this position.
  long double next = (long double)(width + 1) * duration / barSpan;
  long double ahead = next - seconds - ClockStep;
  if (!(ahead > 0)) return 0;
  double speed = (rate > 1.0 ? rate : 1.0) * SpeedMargin;
  double wait = (double)(ahead / speed);
  return wait < Never ? wait : Never;
}

bool ClickSeekTarget(int offset, int barSpan, double duration, int64_t *target) {
  if (barSpan <= 0) return false;
  long double units = (long double)offset * duration / barSpan * 10000000.0L;
  if (!std::isfinite((double)units) || units < 0) units = 0;
  // A duration the graph reported near the end of media time would overflow it.
  *target = units < 0x1p63L ? (int64_t)units : INT64_MAX;
  return true;
}
