#include "shell/shell_win.h"

HINSTANCE AppInstance;
HACCEL AppAccelerators;
HWND MainWindow;
HWND TextViewWindow;
HWND PlayButton, StopButton, CentsEdit, RateScrollBar;
HWND OctaveDownButton, OctaveUpButton, MemButton, TopButton, NextButton;
RECT ProgressRect;
char WorkBuffer[1024];
