// The font the text is drawn in, shared by the text view and the lyrics window (Win32).
#pragma once
#include <windows.h>

// The fixed-pitch Shift-JIS face at that height (the stock OEM font when it cannot be
// made); the caller deletes it.
HFONT CreateTextFont(int height);
