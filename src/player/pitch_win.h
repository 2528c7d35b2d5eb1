// Pitch control (Win32): the cents box, the playback rate, the spin arrows and Mem.
#pragma once
#include <windows.h>
#include <dshow.h>

// The one call that hands a rate to the graph; tests put a recorder in front of it.
extern HRESULT (*SetPlaybackRate)(IMediaSeeking *seeking, double rate);

extern int SpinDirection;  // +1, -1 or 0: from a line notification to its end

extern const char StoredNotice[];  // "記憶しました"

void ApplyPitch(int cents);
void AdjustPitch(HWND mainWindow, int change);
void SpinPitch(HWND mainWindow, HWND scrollBar, int code);
void StorePitch(HWND mainWindow);

// Command handlers of the pitch commands.
void ReapplyPitch(HWND mainWindow);   // Enter: the typed value, change 0
void RaiseOctave(HWND mainWindow);    // 倍
void LowerOctave(HWND mainWindow);    // 半
void RaisePitch25(HWND mainWindow);
void LowerPitch25(HWND mainWindow);
void RaisePitch5(HWND mainWindow);
void LowerPitch5(HWND mainWindow);
