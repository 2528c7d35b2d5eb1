// The position bar, click-to-seek, Top and the end of a song (Win32).
#pragma once
#include <windows.h>

void DrawPosition(HWND mainWindow);
void SeekByClick(HWND mainWindow, LPARAM lParam);
void SeekToTop(HWND mainWindow);
void DrainEvents(HWND mainWindow);
