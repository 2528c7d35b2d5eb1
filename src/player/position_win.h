// The position bar, click-to-seek, Top and the end of a song (Win32).
#pragma once
#include <windows.h>

void DrawPosition(HWND mainWindow);
// The bar's pixels may have been painted over (a repaint of the main window, the notice).
void ForgetPositionBar();
// The rate the graph was asked to play at, which bounds how fast the bar can grow.
void NotePlaybackRate(double rate);
void SeekByClick(HWND mainWindow, LPARAM lParam);
void SeekToTop(HWND mainWindow);
// Seeks the song to target, its own time in 100 ns units, and repaints the frame.
void SeekSongTo(HWND mainWindow, LONGLONG target);
void DrainEvents(HWND mainWindow);
