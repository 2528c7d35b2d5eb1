// Process-wide handles of the application shell: set during start-up, read everywhere.
#pragma once
#include <windows.h>

extern HINSTANCE AppInstance;
extern HACCEL AppAccelerators;
extern HWND MainWindow;
extern HWND TextViewWindow;
extern HWND PlayButton, StopButton, CentsEdit, RateScrollBar;
extern HWND OctaveDownButton, OctaveUpButton, MemButton, TopButton, NextButton;
