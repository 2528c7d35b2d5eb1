// Plays one file through the playback session, as PlayNext would, and reports on
// stdout what happened: the result of OpenAndRun, every message box (caption|text),
// and whether the graph reached the end of the file. Used by the end-to-end check of
// the formats the media framework renders.
//   bramloe_play_file <path> [ogg decoder flag]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "shell/message_box_win.h"
#include "shell/shell_win.h"
#include "library/library.h"
#include "player/session_win.h"
#include "resources/ids.h"
#include "textview/textview_win.h"
#include "tools/graph_events_win.h"

static bool endOfFile;

static int PrintBox(HWND, const char *text, const char *caption, UINT) {
  std::printf("box %s|%s\n", caption ? caption : "(default)", text);
  return IDOK;
}

static LRESULT CALLBACK ToolMainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (TakeGraphEvents(message, &endOfFile)) return 0;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

static void CreateToolWindows(HINSTANCE instance) {
  WNDCLASSA main = {};
  main.lpfnWndProc = ToolMainProc;
  main.hInstance = instance;
  main.lpszClassName = "BramloePlayFile";
  RegisterClassA(&main);
  WNDCLASSA view = {};
  view.lpfnWndProc = TextViewProc;
  view.hInstance = instance;
  view.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  view.lpszClassName = TEXT_VIEW_CLASS;
  RegisterClassA(&view);
  MainWindow = CreateWindowExA(0, main.lpszClassName, "BRAMLOE", WS_POPUP, 0, 0, 400, 300,
                               nullptr, nullptr, instance, nullptr);
  TextViewWindow = CreateWindowExA(0, TEXT_VIEW_CLASS, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL,
                                   0, 0, 400, 300, MainWindow,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), instance,
                                   nullptr);
}

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  DecoderFlags.ogg = argc > 2 ? std::atoi(argv[2]) : 0;
  MessageBoxHook = PrintBox;
  CoInitialize(nullptr);
  CreateToolWindows(GetModuleHandleA(nullptr));
  CreateSession(MainWindow);
  bool opened = OpenAndRun(argv[1]);
  std::printf("opened %d\n", opened ? 1 : 0);
  std::fflush(stdout);
  LONGLONG duration = 0;
  if (opened && PlaybackSession.seeking) PlaybackSession.seeking->GetDuration(&duration);
  DWORD start = GetTickCount();
  DWORD limit = static_cast<DWORD>(duration / 10000) + 5000;
  while (opened && !endOfFile && GetTickCount() - start < limit) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  if (opened) std::printf(endOfFile ? "complete %.2f\n" : "no-end\n", (GetTickCount() - start) / 1000.0);
  Sleep(700);  // the sound's tail is still on its way to the device
  if (PlaybackSession.control) PlaybackSession.control->Stop();
  ReleaseSession();
  DestroyWindow(MainWindow);
  CoUninitialize();
  return 0;
}
