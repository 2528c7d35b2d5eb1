// The settings dialog's seam on the folder picker (SettingDlgProc is declared in
// settings_win.h).
#pragma once
#include <windows.h>
#include <shlobj.h>

// Shows the picker that info describes; on a choice writes the folder's full path into
// path (PATH_BYTES) and returns true, on a cancel returns false.
typedef bool (*FolderPickerProc)(BROWSEINFOA *info, char *path);

// Null: the system's picker (SHBrowseForFolderA and SHGetPathFromIDListA). Tests put a
// scripted picker here.
extern FolderPickerProc FolderPicker;
