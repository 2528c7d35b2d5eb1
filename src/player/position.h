// Progress bar arithmetic, in extended precision, truncated toward zero.
#pragma once
#include <cstdint>

// Width in pixels of the position bar for a span of barSpan pixels. A duration that is
// not positive (unknown, or a song of length 0), or a span that is not, draws no bar.
int PositionBarWidth(int barSpan, double seconds, double duration);

// Seconds of real time before the bar, now width pixels wide at seconds into the song,
// can first be drawn wider, for a song played at no more than rate times real time (or
// real time, whichever is faster). Errs on the early side: a graph's clock may run a
// little ahead of the caller's or move in steps. 0 when it may be due now; very large
// when it never grows (no duration, no span).
double PositionBarPixelWait(int barSpan, int width, double seconds, double duration, double rate);

// Media time (100 ns units) that a click at offset pixels into a bar of barSpan pixels
// seeks to. False when there is nothing to seek to: a bar of no width, where the
// division would be by zero.
bool ClickSeekTarget(int offset, int barSpan, double duration, int64_t *target);
