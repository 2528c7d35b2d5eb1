// Pitch arithmetic: cents to playback rate, and shifts held at the ends of int.
#pragma once

// 2^(cents/1200), formed in extended precision and handed over as a double.
double PitchRate(int cents);

// The rate the graph is given for rate: 1 for one that is not finite or not positive
// (cents far beyond any sound), as for a pitch that does not parse.
double PlayableRate(double rate);

// cents shifted by change, held at the ends of int rather than wrapping: the value
// has no bounds of its own, but a typed 2147483647 plus an octave must not overflow.
int ShiftCents(int cents, int change);
