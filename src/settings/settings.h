// The Settings record and the portable rules of the settings file: value parsing,
// the settings file path and the per-song pitch keys. File access is in settings_win.cpp.
#pragma once

#include "shell/path_bytes.h"

struct SettingsRecord {
  char textpath[PATH_BYTES];
  char musicpath[PATH_BYTES];
  char editor[PATH_BYTES];
  int aimai;  // fuzzy matching; any non-zero value means on
  int skip;   // skip songs without a text; any non-zero value means on
};

extern SettingsRecord Settings;

// The keeptempo key, 0 or 1: with 1 the pitch moves without the tempo. Kept beside the
// record, whose five fields are the specified settings.
extern int KeepTempo;

extern const char SETTINGS_SECTION[];   // "BRAMLOE"
extern const char SETTINGS_FILE_NAME[]; // "BRAMLOE.INI"

// strtol with base 0: 0x.. hexadecimal, 0.. octal, else decimal; no digits gives 0.
int ParseAutoBase(const char *text);
// Signed decimal: leading white space and a sign, stops at the first non-digit.
int ParseDecimal(const char *text);

// The settings file path for a USERPROFILE value (NULL or "" for none) into a
// PATH_BYTES buffer; returns out.
char *SettingsFilePathFor(const char *userProfile, char *out);

// The settings key of a song's stored pitch: the song's path with every '=' replaced
// by '|'. The profile functions split a line at its first '=', so a key containing one
// would be written and never found again; no Windows path contains '|', so no two
// songs share a key, and every path without '=' keeps its key unchanged.
// out has room for PATH_BYTES bytes; path is at most PATH_BYTES - 1 bytes.
char *PitchEntryKey(const char *path, char *out);

enum { SETTINGS_LOCK_NAME_BYTES = 64 };

// The copy a write of the settings file at path goes through and the copy it is read
// back from, beside the file and named for the writing process (path.PID.new and
// path.PID.chk), into PATH_BYTES buffers. False when they would not fit.
bool SettingsCopyPaths(const char *path, unsigned long processId, char *copy, char *check);

// The name of the lock that the running copies of the program take around a write of
// the file at path, into SETTINGS_LOCK_NAME_BYTES: the same for spellings of the path
// that differ only in ASCII case, and fit for an object name (no '\').
char *SettingsLockName(const char *path, char *out);

// A field cut to fit, without the first byte of a double-byte character that lost its
// second byte to the cut; returns field.
char *DropCutCharacter(char *field);
