// The per-song entries of the settings file, each in a section keyed by the song's path:
// the pitch's (through settings_win.h) and those of song_memory.h's sections (Win32).
#pragma once

// The song's value in section into text, or fallback when it has none.
void ReadSongValue(const char *section, const char *songPath, const char *fallback, char *text,
                   int textSize);
// Whether the song has an entry in section.
bool HasSongValue(const char *section, const char *songPath);
// Stores the value at once.
void WriteSongValue(const char *section, const char *songPath, const char *value);
