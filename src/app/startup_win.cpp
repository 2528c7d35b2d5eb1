#include "app/startup_win.h"

#include "app/command_line_win.h"
#include "app/main_window_win.h"
#include "app/routes_win.h"
#include "library/library_win.h"
#include "player/session_win.h"
#include "player/timing_win.h"
#include "resources/ids.h"
#include "settings/settings_win.h"
#include "shell/message_box_win.h"
#include "shell/shell_win.h"
#include "textview/lyrics_window_win.h"
#include "textview/textview_win.h"

HRESULT(WINAPI *InitializeCom)(LPVOID reserved) = CoInitialize;

const char ComFailureText[] = "ERROR - Could not initialize COM library";
const char ComFailureCaption[] = "CoInit";

int RunProcess(HINSTANCE instance, HINSTANCE previous, int showCommand) {
  AppAccelerators = LoadAcceleratorsA(instance, RES_ACCELERATORS);
  HRESULT com = InitializeCom(nullptr);
  if (FAILED(com)) {
    ShowMessageBox(nullptr, ComFailureText, ComFailureCaption, MB_OK);
    return com;
  }
  AppInstance = instance;
  // Always null under Win32: no check for a copy already running.
  if (!previous && !RegisterWindowClasses(instance)) return 0;
  // A start-up that fails here leaves the settings file as it was.
  if (!InitInstance(instance, showCommand)) return 0;
  // Files on the command line play at once; without them, the first song is made
  // ready for Play now that the window is up and the songs are known.
  if (!PlayCommandLineFiles(MainWindow)) StartWarmUp();
  int exitCode = RunMessageLoop();
  ShutDown();
  return exitCode;
}

// Returns the TextView class's atom; a failed main class shows only as the failure to
// create the main window.
ATOM RegisterWindowClasses(HINSTANCE instance) {
  WNDCLASSA main = {};
  main.lpfnWndProc = MainWindowProc;
  main.hInstance = instance;
  main.hIcon = LoadIconA(instance, MAIN_ICON_NAME);
  main.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  main.lpszMenuName = RES_MENU;
  main.lpszClassName = MAIN_WINDOW_CLASS;
  RegisterClassA(&main);

  WNDCLASSA view = {};
  view.style = CS_DBLCLKS;  // a double click on a timed line loops it
  view.lpfnWndProc = TextViewProc;
  view.hInstance = instance;
  view.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  view.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  view.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  view.lpszClassName = TEXT_VIEW_CLASS;
  return RegisterClassA(&view);
}

// Each step uses what the ones before it set up.
BOOL InitInstance(HINSTANCE instance, int showCommand) {
  ProbeDecoders();  // the scan below lists mp3 and ogg files only with a decoder
  LoadSettings();
  LoadLyricsWindowSettings();
  MeasureLayoutMetrics();
  MainWindow = CreateMainWindow(instance);
  if (!MainWindow) return FALSE;
  ShowWindow(MainWindow, showCommand);
  RECT client = {0, 0, 0, 0};
  GetClientRect(MainWindow, &client);
  RouteTextViewClicks();
  if (!CreateTextView(instance, client.right, client.bottom)) return FALSE;
  if (!CreateControls(instance, client.right, client.bottom)) return FALSE;
  UpdateWindow(MainWindow);
  // An empty range shows no thumb: only the arrows act.
  SetScrollRange(RateScrollBar, SB_CTL, 0, 0, TRUE);
  ScanFolders();  // also makes the text folder the current directory
  SetFocus(PlayButton);
  RestoreLyricsWindow();
  return TRUE;
}

static void ScrollTextBy(int code) { SendMessageA(TextViewWindow, WM_VSCROLL, code, 0); }

static void SendCommand(int id) { SendMessageA(MainWindow, WM_COMMAND, id, 0); }

// As a click on the rate scroll bar's arrow: the code, then the end of the scroll.
static void SpinRateBy(int code) {
  LPARAM bar = reinterpret_cast<LPARAM>(RateScrollBar);
  SendMessageA(MainWindow, WM_VSCROLL, code, bar);
  SendMessageA(MainWindow, WM_VSCROLL, SB_ENDSCROLL, bar);
}

// Home, End, Up, Down and the page keys scroll the text whatever has the focus; only
// Left and Right are left to the cents box, to move its caret.
int TranslateKeyDown(const MSG *message) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const HWND focus = GetFocus();
  if (TimingOn()) {
    // Timing's keys reach neither the focused button nor the cents box.
    switch (message->wParam) {
      case VK_SPACE:
        if (!(message->lParam & (1 << 30))) SendCommand(ID_TIMING_STAMP);  // a held key stamps once
        return 1;
      case VK_BACK: SendCommand(ID_TIMING_UNDO); return 1;
      case VK_ESCAPE: SendCommand(ID_TIMING); return 1;
      default: break;
    }
  }
  switch (message->wParam) {
    case VK_PRIOR: ScrollTextBy(ctrl ? SB_TOP : SB_PAGEUP); return 1;
    case VK_NEXT: ScrollTextBy(ctrl ? SB_BOTTOM : SB_PAGEDOWN); return 1;
    case VK_END: ScrollTextBy(SB_BOTTOM); return 1;
    case VK_HOME: ScrollTextBy(SB_TOP); return 1;
    case VK_LEFT:
      if (focus == CentsEdit) return 0;
      SendCommand(ctrl ? ID_CENTS_DOWN_25 : ID_CENTS_DOWN_5);
      return 1;
    case VK_RIGHT:
      if (focus == CentsEdit) return 0;
      SendCommand(ctrl ? ID_CENTS_UP_25 : ID_CENTS_UP_5);
      return 1;
    case VK_UP:
      if (focus == RateScrollBar) SpinRateBy(SB_LINEUP);
      else ScrollTextBy(SB_LINEUP);
      return 1;
    case VK_DOWN:
      if (focus == RateScrollBar) SpinRateBy(SB_LINEDOWN);
      else ScrollTextBy(SB_LINEDOWN);
      return 1;
    case VK_F11: SendCommand(ID_CENTS_DOWN_5); return 1;
    case VK_F12: SendCommand(ID_CENTS_UP_5); return 1;
    default: return 0;
  }
}

// One message through the loop: the first step that takes it ends its handling.
// Accelerators come first, so they act even in the cents box. A timer tick is no key
// and none of the keyboard steps acts on one; it comes a hundred times a second while
// a song plays, so it goes straight to its window.
void ProcessLoopMessage(MSG *message) {
  if (message->message == WM_TIMER) {
    DispatchMessageA(message);
    return;
  }
  if (TranslateAcceleratorA(MainWindow, AppAccelerators, message)) return;
  if (message->message == WM_KEYDOWN && TranslateKeyDown(message)) return;
  // The release of a Space that stamped a line presses no button.
  if (message->message == WM_KEYUP && message->wParam == VK_SPACE && TimingOn()) return;
  if (IsDialogMessageA(MainWindow, message)) return;
  TranslateMessage(message);
  DispatchMessageA(message);
}

int RunMessageLoop() {
  MSG message = {};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) ProcessLoopMessage(&message);
  return static_cast<int>(message.wParam);
}

// The windows are gone already; every COM pointer goes before COM itself.
void ShutDown() {
  EndWarmUp();
  ReleaseSession();
  CoUninitialize();
  SaveSettings();
}
