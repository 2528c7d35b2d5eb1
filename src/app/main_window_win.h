// The main window: its metrics, its creation with the child controls, its procedure.
#pragma once
#include <windows.h>

void MeasureLayoutMetrics();
HWND CreateMainWindow(HINSTANCE instance);
// Both take the client size read once after the main window was shown.
HWND CreateTextView(HINSTANCE instance, int width, int height);
HWND CreateControls(HINSTANCE instance, int width, int height);  // returns the Play button
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
