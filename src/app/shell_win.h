// Process-wide handles of the application shell: set during start-up, read everywhere.
#pragma once
#include <windows.h>

extern HINSTANCE AppInstance;
extern HACCEL AppAccelerators;
extern HWND MainWindow;
extern HWND TextViewWindow;
extern HWND PlayButton, StopButton, CentsEdit, RateScrollBar;
extern HWND OctaveDownButton, OctaveUpButton, MemButton, TopButton, NextButton;

// The progress-bar frame in the main window's client coordinates; follows its size.
extern RECT ProgressRect;

// Writes a short text at the notice position of the main window (the Mem notice).
void ShowNotice(const char *text);
