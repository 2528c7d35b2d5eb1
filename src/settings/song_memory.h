// What is kept per song beside its pitch, each in a section of its own keyed by the
// song's path as the pitch is: the tempo, the loop and the lyrics' offset. The values'
// text forms. Portable.
#pragma once

// The sections, each one line; their entries are read and written by the verbs of
// song_memory_win.h, which also keep the pitch's in SETTINGS_SECTION.
inline constexpr char TEMPO_SECTION[] = "BRAMLOE.tempo";    // percent
inline constexpr char LOOP_SECTION[] = "BRAMLOE.loop";      // "startMs-endMs", empty for none
inline constexpr char OFFSET_SECTION[] = "BRAMLOE.offset";  // signed milliseconds
inline constexpr char VOCAL_SECTION[] = "BRAMLOE.vocal";    // the voice setting, 0 to 2

// A stored percentage (or voice setting); 0 when the text holds none.
int ParseTempoValue(const char *text);
// "startMs-endMs" with end above start; false for anything else (no loop).
bool ParseLoopValue(const char *text, long *startMs, long *endMs);
void FormatLoopValue(long startMs, long endMs, char *out, int size);
// Signed decimal milliseconds, held within a minute either way; 0 for no number.
long ParseOffsetValue(const char *text);
void FormatOffsetValue(long ms, char *out, int size);
