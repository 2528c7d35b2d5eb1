// Process-wide handles of the window side: set during start-up, read everywhere. A
// control is reached through its handle here, never by GetDlgItem.
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

// Filled and consumed within one message by whichever command uses it.
extern char WorkBuffer[1024];
