// The settings file: its path and a write that leaves it whole (Win32).
#pragma once
#include <windows.h>

#include "settings/settings.h"

char *SettingsFilePath(char *out);  // out: PATH_BYTES bytes
// One key and value of the section.
struct SettingWrite {
  const char *key;
  const char *value;
  const char *section = SETTINGS_SECTION;
};

// Writes the entries into the settings file at path so that a write that cannot be
// completed (a full disk, a read-only file, a file another program holds) leaves the
// file as it was: they go into a copy beside it, which replaces the file only once it
// is known to hold every entry. False when nothing was written.
bool WriteSettingsFile(const char *path, const SettingWrite *writes, int count);

// Fills the copy at copy with what the file is to hold; false when it could not.
typedef bool (*CopyFiller)(const char *copy, void *context);
// The same write for any file: the copy (beside it) is filled, then replaces the file in
// one step, or (inPlace, or when it cannot be replaced) overwrites it. A read-only file
// or a folder at path is not written. False when the file was not written.
bool ReplaceThroughCopy(const char *path, bool inPlace, const char *copy, CopyFiller fill, void *context);
