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
