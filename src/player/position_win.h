// The position bar, click-to-seek and Top (Win32), over the session's graph.
#pragma once
#include <windows.h>

void DrawPosition(HWND mainWindow);
// The empty frame, on the main window's WM_PAINT; the bar is drawn into it by the ticks.
void PaintProgressFrame(HDC dc);
void SeekByClick(HWND mainWindow, LPARAM lParam);
void SeekToTop(HWND mainWindow);
// Seeks the song to target, its own time in 100 ns units, and repaints the frame.
void SeekSongTo(HWND mainWindow, LONGLONG target);
