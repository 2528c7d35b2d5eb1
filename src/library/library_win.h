// The folder walk, dropped files and the decoder probe (Win32).
#pragma once
#include <windows.h>

void ProbeDecoders();
void ScanFolders();
void ScanMusicFolder(const char *folder);
void ScanTextFolder(const char *folder);
void TakeDroppedFiles(HDROP drop);
