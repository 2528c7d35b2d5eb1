// The real start-up of the main window in the test process: classes registered and
// InitInstance run exactly as WinMain runs them, with the settings file in a scratch
// profile folder, message boxes recorded, and a recorder that notes what reaches the
// main window and the TextView.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "shell/message_box_win.h"
#include "shell/shell_win.h"
#include "app/startup_win.h"
#include "player/player.h"
#include "player/session_win.h"
#include "resources/ids.h"
#include "wine/library_scratch.h"

namespace shelltest {

struct Recorded {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

struct RecordedBox {
  HWND owner;
  std::string text, caption;
  UINT type;
};

inline std::vector<Recorded> &Messages() {
  static std::vector<Recorded> messages;
  return messages;
}

inline std::vector<RecordedBox> &Boxes() {
  static std::vector<RecordedBox> boxes;
  return boxes;
}

inline int RecordBox(HWND owner, const char *text, const char *caption, UINT type) {
  Boxes().push_back({owner, text ? text : "", caption ? caption : "", type});
  return IDOK;
}

inline WNDPROC &MainOriginal() {
  static WNDPROC proc;
  return proc;
}
inline WNDPROC &ViewOriginal() {
  static WNDPROC proc;
  return proc;
}

// Commands are noted and kept from the handlers, so that a key test never starts a
// song, an editor or a dialog; scroll messages are noted and handed on. The cents
// box's own notifications (its text changes) pass unnoted.
inline LRESULT CALLBACK RecordMain(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && reinterpret_cast<HWND>(lParam) != CentsEdit) {
    Messages().push_back({hwnd, message, wParam, lParam});
    return 0;
  }
  if (message == WM_VSCROLL) Messages().push_back({hwnd, message, wParam, lParam});
  return CallWindowProcA(MainOriginal(), hwnd, message, wParam, lParam);
}
inline LRESULT CALLBACK RecordView(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_VSCROLL) Messages().push_back({hwnd, message, wParam, lParam});
  return CallWindowProcA(ViewOriginal(), hwnd, message, wParam, lParam);
}

// A fresh folder of the test's own that stands in as USERPROFILE; returns the folder.
inline std::string UseScratchProfile() {
  std::string folder = MakeScratchFolder("shell-profile");
  SetEnvironmentVariableA("USERPROFILE", folder.c_str());
  return folder;
}

// Classes of an earlier run in the same process would make registration fail.
inline void ForgetClasses() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  UnregisterClassA(MAIN_WINDOW_CLASS, instance);
  UnregisterClassA(TEXT_VIEW_CLASS, instance);
}

inline void ForgetHandles() {
  MainWindow = TextViewWindow = nullptr;
  PlayButton = StopButton = CentsEdit = RateScrollBar = nullptr;
  OctaveDownButton = OctaveUpButton = MemButton = TopButton = NextButton = nullptr;
}

// Steps every queued message through the program's loop, as GetMessageA would hand it.
inline void RunLoopSteps() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    ProcessLoopMessage(&message);
  }
}

// A key press as the keyboard driver queues it for the focused window.
inline void PostKey(HWND target, UINT key) {
  LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16);
  PostMessageA(target, WM_KEYDOWN, key, down);
  PostMessageA(target, WM_KEYUP, key, down | 0xC0000000);
}

// Ctrl as GetKeyState sees it, set through the thread's keyboard state.
inline void HoldKey(int key, bool held) {
  BYTE state[256];
  GetKeyboardState(state);
  state[key] = held ? 0x80 : 0;
  SetKeyboardState(state);
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    profileFolder = UseScratchProfile();
    settingsPath = profileFolder + "\\BRAMLOE.INI";
    ForgetClasses();
    ForgetHandles();
    Messages().clear();
    Boxes().clear();
    MessageBoxHook = RecordBox;
    PlayerState.state = Stopped;
    CoInitialize(nullptr);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    AppInstance = instance;
    AppAccelerators = LoadAcceleratorsA(instance, RES_ACCELERATORS);
    ASSERT_NE(0, RegisterWindowClasses(instance));
    ASSERT_TRUE(InitInstance(instance, SW_SHOWNORMAL));
    SetForegroundWindow(MainWindow);
    RunLoopSteps();
  }

  void TearDown() override {
    HoldKey(VK_CONTROL, false);
    if (MainWindow && IsWindow(MainWindow)) DestroyWindow(MainWindow);
    RunLoopSteps();
    ReleaseSession();
    CoUninitialize();
    ForgetHandles();
    ForgetClasses();
    MessageBoxHook = nullptr;
    PlayerState.state = Stopped;
    RemoveTree(profileFolder);
  }

  // From now on commands are recorded instead of handled.
  void RecordMessages() {
    MainOriginal() = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordMain)));
    ViewOriginal() = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        TextViewWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordView)));
    Messages().clear();
  }

  std::string profileFolder, settingsPath;
};

}  // namespace shelltest
