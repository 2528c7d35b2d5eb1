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

bool ClickSeekTarget(int offset, int barSpan, double duration, int64_t *target) {
  if (barSpan <= 0) return false;
  long double units = (long double)offset * duration / barSpan * 10000000.0L;
  if (!std::isfinite((double)units) || units < 0) units = 0;
  // A duration the graph reported near the end of media time would overflow it.
  *target = units < 0x1p63L ? (int64_t)units : INT64_MAX;
  return true;
}
