// The shell functions of drops and of the folder picker, bound on their first use: the
// shell's library is among the heaviest to load, and nothing before the first paint
// needs it.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

// As DragQueryFileA, DragFinish, SHBrowseForFolderA and SHGetPathFromIDListA; without
// the library they do nothing and give 0.
UINT QueryDroppedFile(HDROP drop, UINT index, char *name, UINT bytes);
void FinishDrop(HDROP drop);
LPITEMIDLIST BrowseForFolder(BROWSEINFOA *info);
BOOL PathFromFolderItem(LPCITEMIDLIST item, char *path);

// As CommandLineToArgvW; null without the library. The array goes with LocalFree.
LPWSTR *SplitCommandLine(LPCWSTR line, int *count);

// What DragAcceptFiles does: the window's WS_EX_ACCEPTFILES style on or off.
void AcceptDroppedFiles(HWND window, bool accept);
