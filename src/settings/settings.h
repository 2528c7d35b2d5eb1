// The Settings record and the portable rules of the settings file: value parsing,
// the settings file path and the per-song pitch keys. File access is in settings_win.cpp.
#pragma once

struct SettingsRecord {
  char textpath[260];
  char musicpath[260];
  char editor[260];
  int aimai;  // fuzzy matching; any non-zero value means on
  int skip;   // skip songs without a text; any non-zero value means on
};

extern SettingsRecord Settings;

extern const char SETTINGS_SECTION[];   // "BRAMLOE"
extern const char SETTINGS_FILE_NAME[]; // "BRAMLOE.INI"

// strtol with base 0: 0x.. hexadecimal, 0.. octal, else decimal; no digits gives 0.
int ParseAutoBase(const char *text);
// Signed decimal: leading white space and a sign, stops at the first non-digit.
int ParseDecimal(const char *text);

// The settings file path for a USERPROFILE value (NULL or "" for none) into a
// 260-byte buffer; returns out.
char *SettingsFilePathFor(const char *userProfile, char *out);
