// The folder walk, dropped files and the decoder probe (Win32).
#pragma once
#include <windows.h>

#include "library/library.h"

void ProbeDecoders();
void ScanFolders();
void ScanMusicFolder(const char *folder);
void ScanTextFolder(const char *folder);
void TakeDroppedFiles(HDROP drop);
// What a drop does, with the names from elsewhere (the command line, another start).
void TakeFilesAsDrop(int count, DroppedNameReader read, void *context);

// Makes the change watch of a folder (FindFirstChangeNotificationA by default); the
// watch thread calls it.
extern HANDLE (*MakeFolderWatch)(const char *folder);

// WM_DEVICECHANGE: when the drive holding a watched folder is to be removed, closes
// the watches of every folder on that drive, whose songs' titles are then checked by
// their file stamps again. True when it let a drive go.
bool LetDriveGo(WPARAM event, LPARAM data);
