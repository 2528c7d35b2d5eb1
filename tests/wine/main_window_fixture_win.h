// The one main window of the Wine tests: built in the test process by start-up's own
// RegisterWindowClasses and InitInstance, in a profile folder of the test's own, with
// message boxes recorded. Hooks: a procedure put in front of the main window's or the
// TextView's (to note what reaches them), a background colour of the test's for the
// real TextView (so that pixels drawn by the text stand out), and the TextView sized
// through the main window's own layout.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "app/startup_win.h"
#include "library/library.h"
#include "player/player_win.h"
#include "player/session_win.h"
#include "resources/ids.h"
#include "settings/settings.h"
#include "shell/layout.h"
#include "shell/message_box_win.h"
#include "shell/shell_win.h"
#include "textview/textbuffer.h"
#include "textview/textview_win.h"
#include "wine/library_scratch.h"
#include "wine/records_guard.h"

namespace mainwindowtest {

struct RecordedBox {
  HWND owner;
  std::string text, caption;
  UINT type;
  bool hasCaption;  // false: the system's default caption
};

inline std::vector<RecordedBox> &Boxes() {
  static std::vector<RecordedBox> boxes;
  return boxes;
}

inline int RecordBox(HWND owner, const char *text, const char *caption, UINT type) {
  Boxes().push_back({owner, text ? text : "", caption ? caption : "", type, caption != nullptr});
  return IDOK;
}

struct Recorded {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

inline std::vector<Recorded> &Messages() {
  static std::vector<Recorded> messages;
  return messages;
}

// The procedures the hooks stand in front of.
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

// Dispatches what is queued for at most the given time, or until done() holds.
template <typename Done>
inline bool PumpUntil(DWORD milliseconds, Done done) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start >= milliseconds) return false;
    Sleep(5);
  }
}

inline void Pump(DWORD milliseconds = 0) {
  PumpUntil(milliseconds, [] { return false; });
}

// A key press as the keyboard driver queues it for the focused window.
inline void PostKey(HWND target, UINT key) {
  LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16);
  PostMessageA(target, WM_KEYDOWN, key, down);
  PostMessageA(target, WM_KEYUP, key, down | 0xC0000000);
}

// A modifier as GetKeyState sees it, set through the thread's keyboard state.
inline void HoldKey(int key, bool held) {
  BYTE state[256];
  GetKeyboardState(state);
  state[key] = held ? 0x80 : 0;
  SetKeyboardState(state);
}

inline std::string WindowText(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// A child's rectangle in the main window's client coordinates.
inline RECT ChildRect(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, MainWindow, reinterpret_cast<POINT *>(&r), 2);
  return r;
}

inline SIZE ClientSize() {
  RECT client;
  GetClientRect(MainWindow, &client);
  return {client.right, client.bottom};
}

// Resizes the main window so that its client area gets the given size. The menu bar
// may wrap to another number of rows at the new width, so the frame is measured again.
inline void SetClientSize(int width, int height) {
  for (int attempt = 0; attempt < 3; attempt++) {
    SIZE client = ClientSize();
    if (client.cx == width && client.cy == height) break;
    RECT window;
    GetWindowRect(MainWindow, &window);
    int frameX = (window.right - window.left) - client.cx;
    int frameY = (window.bottom - window.top) - client.cy;
    SetWindowPos(MainWindow, nullptr, 0, 0, width + frameX, height + frameY,
                 SWP_NOMOVE | SWP_NOZORDER);
  }
  RunLoopSteps();
}

// A fresh settings folder that stands in as USERPROFILE for the rest of the test.
struct ScratchProfile {
  std::string folder, settingsPath, kept;
  void Use(const char *tag) {
    char value[MAX_PATH] = "";
    GetEnvironmentVariableA("USERPROFILE", value, sizeof value);
    kept = value;
    folder = MakeScratchFolder(tag);
    SetEnvironmentVariableA("USERPROFILE", folder.c_str());
    settingsPath = folder + "\\BRAMLOE.INI";
  }
  void Restore() {
    if (folder.empty()) return;
    SetEnvironmentVariableA("USERPROFILE", kept.c_str());
    RemoveTree(folder);
    folder.clear();
  }
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    profile.Use("window");
    folder = profile.folder;
    settingsPath = profile.settingsPath;
    ForgetClasses();
    ForgetHandles();
    Messages().clear();
    Boxes().clear();
    MessageBoxHook = RecordBox;
    TextBuffer.lineCount = 0;
    TextView = TextViewRecord{};
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
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
    HoldKey(VK_SHIFT, false);
    if (PlaybackSession.control) PlaybackSession.control->Stop();
    if (MainWindow && IsWindow(MainWindow)) DestroyWindow(MainWindow);
    RunLoopSteps();
    ReleaseSession();
    CoUninitialize();
    ForgetHandles();
    ForgetClasses();
    if (viewBrush) DeleteObject(viewBrush);
    viewBrush = nullptr;
    MessageBoxHook = nullptr;
    profile.Restore();
  }

  // Puts proc in front of the main window's procedure; proc hands on to MainOriginal().
  void HookMainWindow(WNDPROC proc) {
    MainOriginal() = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
  }

  // From now on commands are recorded instead of handled.
  void RecordMessages() {
    HookMainWindow(RecordMain);
    ViewOriginal() = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        TextViewWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordView)));
    Messages().clear();
  }

  // The real TextView's uncovered area in a colour of the test's: the text's cells are
  // drawn opaque in the DC's own colours, so they stand out in the pixels.
  void PaintViewBackground(COLORREF colour) {
    viewBrush = CreateSolidBrush(colour);
    SetClassLongPtrA(TextViewWindow, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(viewBrush));
    InvalidateRect(TextViewWindow, nullptr, TRUE);
    UpdateWindow(TextViewWindow);
  }

  // Gives the TextView width x height by sizing the main window: the layout puts the
  // view between the top and the bottom row, three half lines and a pixel each.
  void SizeTextView(int width, int height) {
    SetClientSize(width, height + 6 * LayoutMetrics.halfLineHeight + 2);
    RECT view = ChildRect(TextViewWindow);
    ASSERT_EQ(width, view.right - view.left);
    ASSERT_EQ(height, view.bottom - view.top);
  }

  // Writes bytes to a file of the test's own folder; returns its path.
  std::string WriteTestFile(const std::string &name, const std::string &bytes) {
    std::string path = folder + "\\" + name;
    MakeFile(path, bytes);
    return path;
  }

  // Loads bytes as TextList entry 0, as PlayNext would load a matched text; returns
  // the file's path.
  std::string LoadTextBytes(const std::string &bytes) {
    std::string path = WriteTestFile("view_text.txt", bytes);
    lstrcpynA(TextList.paths[0], path.c_str(), PATH_BYTES);
    TextList.count = 1;
    PlayerState.matchedText = 0;
    LoadText(0);
    return path;
  }

  RecordsGuard records;
  ScratchProfile profile;
  std::string folder, settingsPath;
  HBRUSH viewBrush = nullptr;
};

// A colour the text's own background never has, for the TextView's uncovered area.
const COLORREF ViewBackground = RGB(255, 0, 0);

// The main window with its TextView painted on ViewBackground.
class TextViewWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (HasFatalFailure()) return;
    PaintViewBackground(ViewBackground);
  }
};

}  // namespace mainwindowtest
