// A main window of the test's own with the Play and Next buttons and a TextView of
// class ChildWClass, wired into the shell's handles the way start-up wires them.
#pragma once
#include <windows.h>

#include <string>

#include "shell/shell_win.h"
#include "library/library.h"
#include "player/player.h"
#include "resources/ids.h"
#include "textview/textbuffer.h"
#include "textview/textview_win.h"

namespace viewtest {

// Paints the view's uncovered area in a colour the text's own background never has,
// so the cells drawn by the text stand out in the pixels.
const COLORREF ViewBackground = RGB(255, 0, 0);

inline void RegisterViewClasses(WNDPROC mainProc) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA main = {};
  main.lpfnWndProc = mainProc;
  main.hInstance = instance;
  main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  main.lpszClassName = "BramloeTestMain";
  UnregisterClassA(main.lpszClassName, instance);
  RegisterClassA(&main);
  WNDCLASSA child = {};
  child.lpfnWndProc = TextViewProc;
  child.hInstance = instance;
  child.hCursor = LoadCursor(nullptr, IDC_ARROW);
  child.hbrBackground = CreateSolidBrush(ViewBackground);
  child.lpszClassName = TEXT_VIEW_CLASS;
  UnregisterClassA(child.lpszClassName, instance);
  RegisterClassA(&child);
}

// Creates the windows: the TextView at (0, 40), width x height in window pixels.
inline void CreateViewWindows(WNDPROC mainProc, int width, int height) {
  RegisterViewClasses(mainProc);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  MainWindow = CreateWindowExA(0, "BramloeTestMain", "BRAMLOE", WS_POPUP | WS_VISIBLE, 0, 0,
                               width + 40, height + 80, nullptr, nullptr, instance, nullptr);
  PlayButton = CreateWindowExA(0, "BUTTON", "&Play", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0,
                               60, 30, MainWindow, reinterpret_cast<HMENU>(ID_PLAY), instance,
                               nullptr);
  NextButton = CreateWindowExA(0, "BUTTON", "&Next", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 70, 0,
                               60, 30, MainWindow, reinterpret_cast<HMENU>(ID_NEXT), instance,
                               nullptr);
  TextViewWindow = CreateWindowExA(
      0, TEXT_VIEW_CLASS, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL, 0, 40, width,
      height, MainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), instance, nullptr);
  SetForegroundWindow(MainWindow);
}

inline void DestroyViewWindows() {
  if (MainWindow) DestroyWindow(MainWindow);
  MainWindow = TextViewWindow = PlayButton = NextButton = nullptr;
}

// Dispatches what is queued, for at most the given time.
inline void PumpMessages(DWORD milliseconds = 0) {
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (milliseconds) Sleep(5);
  } while (GetTickCount() - start < milliseconds);
}

// Writes bytes to a file under the temporary folder, its name made this process's own;
// returns its path.
inline std::string WriteTempFile(const char *name, const std::string &bytes) {
  std::string path = std::string(getenv("TEMP") ? getenv("TEMP") : ".") + "\\" +
                     std::to_string(GetCurrentProcessId()) + "-" + name;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return path;
}

// Loads bytes as TextList entry 0, as PlayNext would load a matched text.
inline void LoadTextBytes(const std::string &bytes) {
  std::string path = WriteTempFile("bramloe_view_text.txt", bytes);
  lstrcpynA(TextList.paths[0], path.c_str(), PATH_BYTES);
  TextList.count = 1;
  PlayerState.matchedText = 0;
  LoadText(0);
}

}  // namespace viewtest
