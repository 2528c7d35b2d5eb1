// The per-song entries of the practice sections in the settings file (Win32).
#pragma once

// The song's value in section into text, or fallback when it has none.
void ReadSongValue(const char *section, const char *songPath, const char *fallback, char *text,
                   int textSize);
// Whether the song has an entry in section.
bool HasSongValue(const char *section, const char *songPath);
// Stores the value at once.
void WriteSongValue(const char *section, const char *songPath, const char *value);
