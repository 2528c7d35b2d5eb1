// The position bar, click-to-seek and Top (Win32), over the session's graph.
#pragma once
#include <windows.h>

void DrawPosition(HWND mainWindow);
// The bar's pixels may have been painted over (a repaint of the main window, the notice).
void ForgetPositionBar();
void SeekByClick(HWND mainWindow, LPARAM lParam);
void SeekToTop(HWND mainWindow);
