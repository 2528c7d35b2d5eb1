// Every message box of the program goes through ShowMessageBox, so that tests can
// record the text and caption instead of blocking on a modal box.
#pragma once
#include <windows.h>

typedef int (*MessageBoxHookProc)(HWND owner, const char *text, const char *caption, UINT type);
extern MessageBoxHookProc MessageBoxHook;  // null: the real MessageBoxA

int ShowMessageBox(HWND owner, const char *text, const char *caption, UINT type);
