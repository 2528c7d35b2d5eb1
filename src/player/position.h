// Progress bar arithmetic, in extended precision, truncated toward zero.
#pragma once
#include <cstdint>

// Width in pixels of the position bar for a span of barSpan pixels. A duration that is
// not positive (unknown, or a song of length 0), or a span that is not, draws no bar.
int PositionBarWidth(int barSpan, double seconds, double duration);

// Media time (100 ns units) that a click at offset pixels into a bar of barSpan pixels
// seeks to. False when there is nothing to seek to: a bar of no width, where the
// division would be by zero.
bool ClickSeekTarget(int offset, int barSpan, double duration, int64_t *target);
