// The life of the process as WinMain runs it, in the test process: a COM failure ends
// it with its message and code, a window that cannot be created ends start-up without
// touching the settings file, and a normal run ends by Exit and writes the settings.
#include "wine/main_window_fixture_win.h"

using namespace mainwindowtest;

namespace {

HRESULT WINAPI FailingCom(LPVOID) { return E_OUTOFMEMORY; }

// Each run has a profile folder of its own; returns the settings file's path there.
ScratchProfile profile;

std::string BeginRun() {
  profile.Use("startup");
  ForgetClasses();
  ForgetHandles();
  Boxes().clear();
  MessageBoxHook = RecordBox;
  return profile.settingsPath;
}

// Whatever a run left behind: its windows, its session and its COM.
void EndRun(bool comInitialised) {
  if (MainWindow && IsWindow(MainWindow)) DestroyWindow(MainWindow);
  RunLoopSteps();
  ReleaseSession();
  if (comInitialised) CoUninitialize();
  ForgetHandles();
  ForgetClasses();
  MessageBoxHook = nullptr;
  InitializeCom = CoInitialize;
  profile.Restore();
}

TEST(StartUp, ComFailureShowsItsMessageAndBecomesTheExitCode) {
  std::string ini = BeginRun();
  InitializeCom = FailingCom;
  int code = RunProcess(GetModuleHandleA(nullptr), nullptr, SW_SHOWNORMAL);
  EXPECT_EQ(static_cast<int>(E_OUTOFMEMORY), code);
  ASSERT_EQ(1u, Boxes().size());
  EXPECT_EQ(nullptr, Boxes()[0].owner);
  EXPECT_EQ("ERROR - Could not initialize COM library", Boxes()[0].text);
  EXPECT_EQ("CoInit", Boxes()[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK), Boxes()[0].type);
  WNDCLASSA unused;
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), MAIN_WINDOW_CLASS, &unused));
  EXPECT_EQ(nullptr, MainWindow);
  EXPECT_FALSE(FileExists(ini));
  EndRun(false);
}

// Refuses the creation of one window, picked by class and (if given) text.
const char *refusedClass;
const char *refusedText;
int refusals;

LRESULT CALLBACK RefuseOne(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTA *create = reinterpret_cast<CBT_CREATEWNDA *>(lParam)->lpcs;
    bool named = !IS_INTRESOURCE(create->lpszClass);
    if (named && lstrcmpiA(create->lpszClass, refusedClass) == 0 &&
        (!refusedText || (create->lpszName && lstrcmpA(create->lpszName, refusedText) == 0))) {
      refusals++;
      return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(StartUp, AWindowThatCannotBeCreatedEndsStartUpWithoutWritingTheSettings) {
  const struct {
    const char *className, *text;
  } cases[] = {{MAIN_WINDOW_CLASS, nullptr}, {TEXT_VIEW_CLASS, nullptr}, {"Button", "&Play"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text ? c.text : c.className);
    std::string ini = BeginRun();
    refusedClass = c.className;
    refusedText = c.text;
    refusals = 0;
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseOne, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    int code = RunProcess(GetModuleHandleA(nullptr), nullptr, SW_SHOWNORMAL);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(1, refusals);
    EXPECT_EQ(0, code);
    EXPECT_FALSE(FileExists(ini));
    EndRun(true);
  }
}

struct SeenAtRunTime {
  std::string title;
  bool playHadFocus;
  bool exitSent;
} seen;

// Runs inside the program's loop: notes what the user would see, then picks Exit.
void CALLBACK ExitSoon(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  char title[64] = "";
  GetWindowTextA(MainWindow, title, sizeof title);
  seen.title = title;
  seen.playHadFocus = GetFocus() == PlayButton;
  seen.exitSent = PostMessageA(MainWindow, WM_COMMAND, ID_EXIT, 0);
}

TEST(StartUp, ANormalRunEndsByExitAndWritesTheSettings) {
  std::string ini = BeginRun();
  seen = {};
  SetTimer(nullptr, 0, 200, ExitSoon);
  int code = RunProcess(GetModuleHandleA(nullptr), nullptr, SW_SHOWNORMAL);
  EXPECT_EQ(0, code);
  EXPECT_TRUE(seen.exitSent);
  EXPECT_EQ("BRAMLOE", seen.title);
  EXPECT_TRUE(seen.playHadFocus);
  EXPECT_FALSE(IsWindow(MainWindow));
  EXPECT_EQ(nullptr, PlaybackSession.graph) << "released at shutdown";
  ASSERT_TRUE(FileExists(ini));
  char value[16] = "";
  GetPrivateProfileStringA("BRAMLOE", "skip", "none", value, sizeof value, ini.c_str());
  EXPECT_STREQ("0", value);
  EndRun(false);
}

}  // namespace
