// Every message box of the program goes through ShowMessageBox, so that tests can
// record the text and caption instead of blocking on a modal box, and so that the
// rules driven by the timer and the commands pressed meanwhile know a box is open.
#pragma once
#include <windows.h>

typedef int (*MessageBoxHookProc)(HWND owner, const char *text, const char *caption, UINT type);
extern MessageBoxHookProc MessageBoxHook;  // null: the real MessageBoxA

int ShowMessageBox(HWND owner, const char *text, const char *caption, UINT type);

// True while a box shown by ShowMessageBox is open (its modal loop runs below us).
bool MessageBoxOpen();

// Once the last open box closes, WM_BOXES_CLOSED is posted to the main window (once).
void NotifyWhenBoxesClose();
