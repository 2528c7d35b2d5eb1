// The process: start-up, the message loop with its key translation, and shutdown.
#pragma once
#include <windows.h>

// COM's initialisation, replaceable so that tests can make it fail.
extern HRESULT(WINAPI *InitializeCom)(LPVOID reserved);

extern const char ComFailureText[];
extern const char ComFailureCaption[];

// The whole life of the process as WinMain runs it; returns the exit code.
int RunProcess(HINSTANCE instance, HINSTANCE previous, int showCommand);

ATOM RegisterWindowClasses(HINSTANCE instance);
BOOL InitInstance(HINSTANCE instance, int showCommand);
int TranslateKeyDown(const MSG *message);  // 1: acted on the key, drop the message
void ProcessLoopMessage(MSG *message);
int RunMessageLoop();  // returns the WM_QUIT wParam
void ShutDown();
