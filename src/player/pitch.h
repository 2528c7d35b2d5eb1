// Pitch arithmetic: cents to playback rate, and the key a song's stored pitch is kept under.
#pragma once

// 2^(cents/1200), formed in extended precision and handed over as a double.
double PitchRate(int cents);

// cents shifted by change, held at the ends of int rather than wrapping: the value
// has no bounds of its own, but a typed 2147483647 plus an octave must not overflow.
int ShiftCents(int cents, int change);

// The settings key of a song's stored pitch: the song's path with every '=' replaced
// by '|'. The profile functions split a line at its first '=', so a key containing one
// would be written and never found again; no Windows path contains '|', so no two
// songs share a key, and every path without '=' keeps its key unchanged.
// out has room for 260 bytes; path is at most 259 bytes.
char *PitchEntryKey(const char *path, char *out);
