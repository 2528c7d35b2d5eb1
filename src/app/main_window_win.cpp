#include "app/main_window_win.h"

#include <ctime>
#include <cstdlib>

#include "app/command_line_win.h"
#include "app/commands_win.h"
#include "app/routes_win.h"
#include "library/library_win.h"
#include "player/position_win.h"
#include "player/practice_win.h"
#include "player/session_win.h"
#include "player/timing_win.h"
#include "resources/ids.h"
#include "shell/focus_win.h"
#include "shell/layout.h"
#include "shell/shell_calls_win.h"
#include "shell/shell_win.h"
#include "textview/lyrics_window_win.h"

void MeasureLayoutMetrics() {
  HDC screen = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(screen, GetStockObject(OEM_FIXED_FONT));
  TEXTMETRICA metrics = {};
  GetTextMetricsA(screen, &metrics);
  // The layout keeps its physical size on a screen of any density. The stock font may
  // be made for this screen already (its digitized aspect says for which): only what
  // it lacks is scaled, so a font that follows the screen is not scaled twice.
  ScreenDpi = GetDeviceCaps(screen, LOGPIXELSY);
  const int fontDpi = metrics.tmDigitizedAspectY;
  LayoutMetrics.halfLineHeight = ScaledForDpi(
      HalfLineHeightOf(metrics.tmCharSet, metrics.tmAscent, metrics.tmHeight), ScreenDpi, fontDpi);
  LayoutMetrics.charWidth = ScaledForDpi(metrics.tmAveCharWidth, ScreenDpi, fontDpi);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
}

static LayoutBox BoxOf(int slot, int width, int height) {
  return SlotBox(slot, LayoutMetrics.charWidth, LayoutMetrics.halfLineHeight, width, height);
}

HWND CreateMainWindow(HINSTANCE instance) {
  // No menu handle: the class brings "BramloeMenu".
  return CreateWindowExA(0, MAIN_WINDOW_CLASS, "BRAMLOE", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                         nullptr);
}

static HWND CreateChild(HINSTANCE instance, const char *className, const char *text,
                        DWORD exStyle, DWORD style, LayoutBox box, int id) {
  return CreateWindowExA(exStyle, className, text, style, box.x, box.y, box.width, box.height,
                         MainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                         nullptr);
}

HWND CreateTextView(HINSTANCE instance, int width, int height) {
  TextViewWindow = CreateChild(instance, TEXT_VIEW_CLASS, "", 0,
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL,
                               BoxOf(SLOT_TEXT_VIEW, width, height), -1);
  return TextViewWindow;
}

// The controls in creation order, which is also the Tab order of the dialog-style
// keyboard handling.
struct ControlSpec {
  int slot;
  const char *className;
  const char *text;
  DWORD exStyle;
  DWORD style;
  int id;
  HWND *handle;  // null: not kept
};

static const DWORD ButtonStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;

static const ControlSpec Controls[] = {
    {SLOT_PLAY, "Button", "&Play", 0, ButtonStyle, ID_PLAY, &PlayButton},
    {SLOT_STOP, "Button", "&Stop", 0, ButtonStyle, ID_STOP, &StopButton},
    {SLOT_CENT_LABEL, "STATIC", "Cent", 0, WS_CHILD | WS_VISIBLE | SS_LEFT, -1, nullptr},
    {SLOT_CENTS, "EDIT", "0", WS_EX_CLIENTEDGE,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_GROUP | WS_TABSTOP | ES_RIGHT, ID_CENTS, &CentsEdit},
    // No tab stop: only the keys Up and Down reach it, once it was clicked.
    {SLOT_RATE, "scrollbar", "rate", 0, WS_CHILD | WS_VISIBLE | WS_GROUP | SBS_VERT, ID_RATE,
     &RateScrollBar},
    {SLOT_OCTAVE_DOWN, "Button", "半", 0, ButtonStyle, ID_OCTAVE_DOWN, &OctaveDownButton},
    {SLOT_OCTAVE_UP, "Button", "倍", 0, ButtonStyle, ID_OCTAVE_UP, &OctaveUpButton},
    {SLOT_MEM, "Button", "Mem", 0, ButtonStyle, ID_MEM, &MemButton},
    {SLOT_TOP, "Button", "&Top", 0, ButtonStyle, ID_TOP, &TopButton},
    {SLOT_NEXT, "Button", "&Next", 0, ButtonStyle, ID_NEXT, &NextButton},
};

HWND CreateControls(HINSTANCE instance, int width, int height) {
  for (const ControlSpec &c : Controls) {
    HWND made = CreateChild(instance, c.className, c.text, c.exStyle, c.style,
                            BoxOf(c.slot, width, height), c.id);
    if (c.handle) *c.handle = made;
  }
  return PlayButton;
}

static void ComputeProgressRect(HWND hwnd, int *width, int *height) {
  RECT client = {0, 0, 0, 0};
  GetClientRect(hwnd, &client);
  *width = client.right;
  *height = client.bottom;
  LayoutEdges edges =
      ProgressEdges(LayoutMetrics.charWidth, LayoutMetrics.halfLineHeight, *width, *height);
  ProgressRect = {edges.left, edges.top, edges.right, edges.bottom};
}

static void StartMainWindow(HWND hwnd) {
  int width, height;
  ComputeProgressRect(hwnd, &width, &height);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  CreateSession(hwnd);  // reports its own failures
  AcceptDroppedFiles(hwnd, true);
  ShowKeepTempoCheck(hwnd);  // the menu came with the class, unchecked
}

static void MoveChild(HWND child, LayoutBox box) {
  SetWindowPos(child, nullptr, box.x, box.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Only the TextView, the bottom row and the progress frame follow the size. The first
// WM_SIZE comes before the children exist.
static void LayOutMainWindow(HWND hwnd) {
  int width, height;
  ComputeProgressRect(hwnd, &width, &height);
  InvalidateRect(hwnd, &ProgressRect, TRUE);
  if (TextViewWindow) {
    LayoutBox view = BoxOf(SLOT_TEXT_VIEW, width, height);
    SetWindowPos(TextViewWindow, nullptr, 0, 0, view.width, view.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (TopButton) MoveChild(TopButton, BoxOf(SLOT_TOP, width, height));
  if (NextButton) MoveChild(NextButton, BoxOf(SLOT_NEXT, width, height));
}

static void PaintMainWindow(HWND hwnd) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  PaintProgressFrame(dc);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  int x, y;
  PitchLabelAt(LayoutMetrics.charWidth, LayoutMetrics.halfLineHeight, &x, &y);
  TextOutA(dc, x, y, "Pitch", 5);
  CentLabelAt(LayoutMetrics.charWidth, LayoutMetrics.halfLineHeight, &x, &y);
  TextOutA(dc, x, y, "cent", 4);
  EndPaint(hwnd, &paint);
  DrawLoopMarks(hwnd);
}

static void EndMainWindow(HWND hwnd) {
  AcceptDroppedFiles(hwnd, false);
  CloseLyricsWindow();
  PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: StartMainWindow(hwnd); break;
    case WM_CLOSE:
      if (!WriteStampsBeforeQuit(hwnd)) return 0;
      break;
    case WM_DESTROY: EndMainWindow(hwnd); return 0;
    case WM_SIZE: LayOutMainWindow(hwnd); break;
    case WM_SETFOCUS: ApplyFocusRule(); return 0;
    case WM_PAINT: PaintMainWindow(hwnd); return 0;
    case WM_COMMAND: return RouteCommand(hwnd, message, wParam, lParam);
    case WM_TIMER: RouteTimerTick(hwnd); break;
    case WM_VSCROLL: RouteRateScroll(hwnd, wParam, lParam); break;
    case WM_LBUTTONDOWN: RouteProgressClick(hwnd, lParam); break;
    case WM_DROPFILES: TakeDroppedFiles(reinterpret_cast<HDROP>(wParam)); break;
    case WM_DEVICECHANGE: LetDriveGo(wParam, lParam); return TRUE;
    case WM_GRAPH_EVENT: RouteGraphEvent(hwnd); break;
    case WM_BOXES_CLOSED: RouteBoxesClosed(hwnd); break;
    case WM_COPYDATA: return TakeHandedFiles(hwnd, reinterpret_cast<const COPYDATASTRUCT *>(lParam));
    // The wheel goes to the focus, a button: it scrolls the text wherever it turns.
    case WM_MOUSEWHEEL: return SendMessageA(TextViewWindow, message, wParam, lParam);
    default: break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}
