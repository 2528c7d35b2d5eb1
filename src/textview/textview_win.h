// The text view window (Win32).
#pragma once
#include <windows.h>

LRESULT CALLBACK TextViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void ScrollTextView(int code, int pos);
void LoadText(int index);
void UpdateScrollRange();
