#include "textview/lyrics_window_win.h"

#include <cstring>
#include <initializer_list>

#include "resources/ids.h"
#include "settings/settings_file_win.h"
#include "shell/layout.h"
#include "shell/shell_win.h"
#include "textview/lyrics_window.h"
#include "textview/textbuffer.h"
#include "textview/text_font_win.h"
#include "textview/timed_text.h"

LyricsCanvasRecord LyricsCanvas = {nullptr, 0, 0, 0};

// The window and what it last drew. The pixels are drawn twice, on black and on
// white: the difference of the two gives each pixel's coverage, so the font's own
// smoothing turns into alpha over whatever lies below.
struct LyricsPaintRecord {
  HWND window;
  int dpi;
  HDC black, white;  // memory DCs holding the two DIB sections
  HBITMAP blackBitmap, whiteBitmap;
  HGDIOBJ blackKept, whiteKept;
  DWORD *blackBits, *whiteBits;
  int width, height;
  LyricsLines drawn;
  bool drawnValid;
};

static LyricsPaintRecord Paint = {};

HWND LyricsWindowHandle() { return Paint.window; }

enum {
  VEIL_ALPHA = 0x50,   // the unlocked window's shade, so it can be seen and grabbed
  EDGE_GRIP = 6,       // pixels at 96 dpi along each edge that resize it
  LOCK_BUTTON = 16,
  LINE_UNITS = 1024,   // UTF-16 units of one shown line; a longer one is cut
};

static int Scaled(int length) { return ScaledForDpi(length, Paint.dpi, 96); }

static void WriteLyricsSetting(const char *key, const char *value) {
  char path[PATH_BYTES];
  SettingWrite write = {key, value};
  WriteSettingsFile(SettingsFilePath(path), &write, 1);
}

static void KeepFlag(const char *key, bool on) { WriteLyricsSetting(key, on ? "1" : "0"); }

void LoadLyricsWindowSettings() {
  char path[PATH_BYTES], value[LYRICS_PLACE_BYTES];
  SettingsFilePath(path);
  GetPrivateProfileStringA(SETTINGS_SECTION, LyricsPlaceKey, "", value, sizeof value, path);
  if (!ParseLyricsPlace(value, &LyricsWindow.place)) LyricsWindow.place = {0, 0, 0, 0};
  LyricsWindow.locked = GetPrivateProfileIntA(SETTINGS_SECTION, LyricsLockKey, 0, path) != 0;
  LyricsWindow.shown = GetPrivateProfileIntA(SETTINGS_SECTION, LyricsShownKey, 0, path) != 0;
}

static ScreenBox BoxOf(const RECT &r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

// The kept place, or the default one, brought onto a monitor if it lies off them all.
static ScreenBox PlaceOnScreen() {
  const ScreenBox &kept = LyricsWindow.place;
  RECT r = {kept.x, kept.y, kept.x + kept.width, kept.y + kept.height};
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor);
  if (kept.width <= 0) return DefaultLyricsPlace(BoxOf(monitor.rcWork), ScreenDpi);
  return BringOntoMonitor(kept, BoxOf(monitor.rcMonitor), BoxOf(monitor.rcWork));
}

static void KeepPlace() {
  RECT r;
  GetWindowRect(Paint.window, &r);
  LyricsWindow.place = BoxOf(r);
  char value[LYRICS_PLACE_BYTES];
  FormatLyricsPlace(LyricsWindow.place, value, sizeof value);
  WriteLyricsSetting(LyricsPlaceKey, value);
}

static void ReleaseCanvas() {
  if (Paint.black) {
    SelectObject(Paint.black, Paint.blackKept);
    SelectObject(Paint.white, Paint.whiteKept);
    DeleteDC(Paint.black);
    DeleteDC(Paint.white);
    DeleteObject(Paint.blackBitmap);
    DeleteObject(Paint.whiteBitmap);
  }
  Paint.black = Paint.white = nullptr;
  Paint.width = Paint.height = 0;
  LyricsCanvas = {nullptr, 0, 0, LyricsCanvas.draws};
}

static HDC MakeCanvasDC(int width, int height, HBITMAP *bitmap, DWORD **bits, HGDIOBJ *kept) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void *pixels = nullptr;
  *bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  *bits = static_cast<DWORD *>(pixels);
  HDC dc = CreateCompatibleDC(nullptr);
  *kept = SelectObject(dc, *bitmap);
  return dc;
}

static bool EnsureCanvas(int width, int height) {
  if (Paint.black && Paint.width == width && Paint.height == height) return true;
  ReleaseCanvas();
  if (width <= 0 || height <= 0) return false;
  Paint.black = MakeCanvasDC(width, height, &Paint.blackBitmap, &Paint.blackBits, &Paint.blackKept);
  Paint.white = MakeCanvasDC(width, height, &Paint.whiteBitmap, &Paint.whiteBits, &Paint.whiteKept);
  if (!Paint.blackBits || !Paint.whiteBits) {
    ReleaseCanvas();
    return false;
  }
  Paint.width = width;
  Paint.height = height;
  return true;
}

// A shown line's rows one after another, or the title line, as UTF-16.
static int LineText(const ShownLine &line, bool title, WCHAR *out) {
  if (title) {
    char bytes[LINE_UNITS];
    GetWindowTextA(MainWindow, bytes, sizeof bytes);
    return MultiByteToWideChar(932, 0, bytes, lstrlenA(bytes), out, LINE_UNITS);
  }
  int units = 0;
  for (int row = line.firstRow; row < line.firstRow + line.rowCount && row < TextBuffer.lineCount; ++row) {
    const int room = LINE_UNITS - units;
    if (TextBuffer.wideUnits[row]) {
      const int n = TextBuffer.wideUnits[row] < room ? TextBuffer.wideUnits[row] : room;
      std::memcpy(out + units, TextBuffer.wide[row], n * sizeof(WCHAR));
      units += n;
    } else {
      const char *bytes = TextBuffer.rows[row];
      units += MultiByteToWideChar(932, 0, bytes, lstrlenA(bytes), out + units, room);
    }
  }
  return units;
}

// The text in its colour over an outline of the window colour, which keeps it legible
// on a dark desktop and a light one alike.
static void DrawOutlined(HDC dc, int x, int y, const WCHAR *text, int units, COLORREF ink) {
  const int d = Scaled(1) < 1 ? 1 : Scaled(1);
  SetTextColor(dc, GetSysColor(COLOR_WINDOW));
  for (int dy = -d; dy <= d; dy += d)
    for (int dx = -d; dx <= d; dx += d)
      if (dx || dy) TextOutW(dc, x + dx, y + dy, text, units);
  SetTextColor(dc, ink);
  TextOutW(dc, x, y, text, units);
}

// The song's time the text view last followed (what is heard), for the fill.
static long FillMs = 0;
static double DrawnCells = -1;  // the sung line's cells filled when last drawn

static int LineBytes(const ShownLine &line) {
  int bytes = 0;
  for (int row = line.firstRow; row < line.firstRow + line.rowCount && row < TextBuffer.lineCount; ++row)
    bytes += lstrlenA(TextBuffer.rows[row]);
  return bytes;
}

// The line being sung, as the text view marks it: whole in the selection colour, or a
// word-timed line filled up to the cells sung and the rest in the text colour. The
// font's cells are even, so the boundary's x is the line's width in proportion.
static void DrawSungLine(HDC dc, int x, int y, const WCHAR *text, int units, SIZE extent, double cells,
                         int lineBytes) {
  if (cells < 0 || lineBytes <= 0) {
    DrawOutlined(dc, x, y, text, units, GetSysColor(COLOR_HIGHLIGHT));
    return;
  }
  const int boundary = x + static_cast<int>(extent.cx * (cells < lineBytes ? cells : lineBytes) / lineBytes + 0.5);
  const int d = Scaled(1) < 1 ? 1 : Scaled(1);
  const RECT sung = {x - d, y - d, boundary, y + extent.cy + d};
  const RECT rest = {boundary, y - d, x + extent.cx + d, y + extent.cy + d};
  const RECT parts[2] = {sung, rest};
  for (int i = 0; i < 2; i++) {
    if (parts[i].left >= parts[i].right) continue;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, parts[i].left, parts[i].top, parts[i].right, parts[i].bottom);
    DrawOutlined(dc, x, y, text, units, GetSysColor(i == 0 ? COLOR_HIGHLIGHT : COLOR_WINDOWTEXT));
    RestoreDC(dc, saved);
  }
}

// One of the two lines, centred in its half of the window, in a font that follows the
// window's height and shrinks only for a line too wide for it; measured once, drawn
// on both canvases.
static void DrawLine(int half, const ShownLine &line, bool title, bool sung, double cells) {
  static WCHAR text[LINE_UNITS];
  const int units = LineText(line, title, text);
  if (units <= 0) return;
  const int margin = Scaled(2) + 1, pitch = Paint.height / 2;
  int fontHeight = LyricsFontHeight(Paint.height);
  HFONT font = CreateTextFont(fontHeight);
  HGDIOBJ previous = SelectObject(Paint.black, font);
  SIZE extent = {0, 0};
  GetTextExtentPoint32W(Paint.black, text, units, &extent);
  const int fitted = FittedFontHeight(fontHeight, extent.cx, Paint.width - 2 * margin);
  if (fitted != fontHeight) {
    SelectObject(Paint.black, previous);
    DeleteObject(font);
    font = CreateTextFont(fontHeight = fitted);
    previous = SelectObject(Paint.black, font);
    GetTextExtentPoint32W(Paint.black, text, units, &extent);
  }
  const int x = (Paint.width - extent.cx) / 2, y = half * pitch + (pitch - extent.cy) / 2;
  SelectObject(Paint.white, font);
  for (HDC dc : {Paint.black, Paint.white}) {
    if (sung) DrawSungLine(dc, x, y, text, units, extent, cells, LineBytes(line));
    else DrawOutlined(dc, x, y, text, units, GetSysColor(COLOR_WINDOWTEXT));
    SelectObject(dc, previous);
  }
  DeleteObject(font);
}

static RECT LockButtonRect() {
  const int size = Scaled(LOCK_BUTTON), gap = Scaled(2);
  return {Paint.width - size - gap, gap, Paint.width - gap, gap + size};
}

// A padlock drawn open: the body, and the shackle lifted off it.
static void DrawLockButton(HDC dc) {
  const RECT r = LockButtonRect();
  const int w = r.right - r.left, h = r.bottom - r.top;
  HBRUSH face = GetSysColorBrush(COLOR_WINDOW), ink = GetSysColorBrush(COLOR_WINDOWTEXT);
  FillRect(dc, &r, face);
  FrameRect(dc, &r, ink);
  const RECT body = {r.left + w / 4, r.top + h / 2, r.right - w / 4, r.bottom - h / 8};
  FillRect(dc, &body, ink);
  const RECT shackle = {r.left + w / 3, r.top + h / 8, r.right - w / 3 + w / 6, r.top + h / 2};
  FrameRect(dc, &shackle, ink);
}

static void DrawLines(const LyricsLines &lines) {
  SetBkMode(Paint.black, TRANSPARENT);
  SetBkMode(Paint.white, TRANSPARENT);
  DrawnCells = lines.sungEntry >= 0 ? FilledCells(lines.sungEntry, FillMs) : -1;
  DrawLine(0, lines.top, lines.titleLine, lines.sungEntry >= 0, DrawnCells);
  DrawLine(1, lines.bottom, false, false, -1);
  if (!LyricsWindow.locked) {
    DrawLockButton(Paint.black);
    DrawLockButton(Paint.white);
  }
}

// Coverage from the two drawings: on black a pixel reads a·C, on white a·C + (1-a)·255,
// so their difference is what lies below showing through. The black one is then the
// premultiplied colour; the unlocked window lays it over a faint shade.
static void ComposePixels() {
  const int count = Paint.width * Paint.height;
  const DWORD veil = LyricsWindow.locked ? 0 : VEIL_ALPHA;
  for (int i = 0; i < count; ++i) {
    const DWORD b = Paint.blackBits[i], w = Paint.whiteBits[i];
    const int through = static_cast<int>((w >> 8) & 0xFF) - static_cast<int>((b >> 8) & 0xFF);
    DWORD alpha = 255 - (through < 0 ? 0 : through > 255 ? 255 : through);
    alpha += veil * (255 - alpha) / 255;
    Paint.blackBits[i] = (b & 0xFFFFFF) | alpha << 24;
  }
}

static void DrawLyricsWindow(const LyricsLines &lines) {
  RECT r;
  GetWindowRect(Paint.window, &r);
  if (!EnsureCanvas(r.right - r.left, r.bottom - r.top)) return;
  std::memset(Paint.blackBits, 0, sizeof(DWORD) * Paint.width * Paint.height);
  std::memset(Paint.whiteBits, 0xFF, sizeof(DWORD) * Paint.width * Paint.height);
  DrawLines(lines);
  GdiFlush();
  ComposePixels();
  POINT at = {r.left, r.top}, origin = {0, 0};
  SIZE size = {Paint.width, Paint.height};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(Paint.window, nullptr, &at, &size, Paint.black, &origin, 0, &blend, ULW_ALPHA);
  Paint.drawn = lines;
  Paint.drawnValid = true;
  LyricsCanvas = {Paint.blackBits, Paint.width, Paint.height, LyricsCanvas.draws + 1};
}

void RefreshLyricsWindow(bool newText) {
  if (!Paint.window) return;
  const LyricsLines lines = PickLyricsLines();
  if (!newText && Paint.drawnValid && SameLyricsLines(lines, Paint.drawn)) return;
  DrawLyricsWindow(lines);
}

void FollowLyricsFill(long ms) {
  FillMs = ms;
  if (!Paint.window || !Paint.drawnValid || Paint.drawn.sungEntry < 0) return;
  const double cells = FilledCells(Paint.drawn.sungEntry, ms);
  // A step under a tenth of a cell is not worth a new frame of the whole window.
  if (cells >= 0 && (cells - DrawnCells >= 0.1 || cells < DrawnCells)) DrawLyricsWindow(Paint.drawn);
}

static void Redraw() {
  Paint.drawnValid = false;
  RefreshLyricsWindow(true);
}

// Unlocked: the lock button, the edges that resize, and everywhere else a grip that
// moves it. Locked, the window is not there for the mouse.
static LRESULT HitTest(HWND hwnd, LPARAM lParam) {
  if (LyricsWindow.locked) return HTTRANSPARENT;
  POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ScreenToClient(hwnd, &p);
  const RECT button = LockButtonRect();
  if (PtInRect(&button, p)) return HTCLIENT;
  const int grip = Scaled(EDGE_GRIP);
  const bool left = p.x < grip, right = p.x >= Paint.width - grip;
  const bool top = p.y < grip, bottom = p.y >= Paint.height - grip;
  if (top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
  if (bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
  if (left) return HTLEFT;
  if (right) return HTRIGHT;
  return HTCAPTION;
}

static void ShowContextMenu(HWND hwnd, LPARAM lParam) {
  if (LyricsWindow.locked) return;
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, ID_LYRICS_LOCK, "ロック");
  AppendMenuA(menu, MF_STRING, ID_LYRICS_WINDOW, "閉じる");
  POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (lParam == -1) GetCursorPos(&p);  // from the keyboard: no point given
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, p.x, p.y, 0, hwnd, nullptr);
  DestroyMenu(menu);
  if (chosen) SendMessageA(MainWindow, WM_COMMAND, chosen, 0);
}

// A new monitor's density: the rectangle the system suggests keeps the window's size
// as the user sees it.
static void ChangeDpi(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  Paint.dpi = HIWORD(wParam);
  const RECT *r = reinterpret_cast<const RECT *>(lParam);
  SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  Redraw();  // the outline and the button follow the density
  KeepPlace();
}

static void SetMinimumSize(MINMAXINFO *info) {
  info->ptMinTrackSize = {Scaled(LYRICS_MIN_WIDTH), Scaled(LYRICS_MIN_HEIGHT)};
}

static LRESULT CALLBACK LyricsWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCHITTEST: return HitTest(hwnd, lParam);
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_LBUTTONDOWN: LockLyricsWindow(MainWindow); return 0;  // only the button is client
    case WM_CONTEXTMENU: ShowContextMenu(hwnd, lParam); return 0;
    case WM_SIZE: if (Paint.window) Redraw(); break;
    case WM_EXITSIZEMOVE: KeepPlace(); break;
    case WM_DPICHANGED: ChangeDpi(hwnd, wParam, lParam); return 0;
    case WM_GETMINMAXINFO: SetMinimumSize(reinterpret_cast<MINMAXINFO *>(lParam)); return 0;
    default: break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

static DWORD ExStyle() {
  const DWORD style = WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  return LyricsWindow.locked ? style | WS_EX_TRANSPARENT : style;
}

// Registered the first time the window shows: while it is never shown, nothing of it exists.
static bool RegisterLyricsClass() {
  WNDCLASSA lyrics = {};
  if (GetClassInfoA(AppInstance, LYRICS_WINDOW_CLASS, &lyrics)) return true;
  lyrics.lpfnWndProc = LyricsWindowProc;
  lyrics.hInstance = AppInstance;
  lyrics.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  lyrics.lpszClassName = LYRICS_WINDOW_CLASS;
  return RegisterClassA(&lyrics) != 0;
}

static void ShowCheck() {
  CheckMenuItem(GetMenu(MainWindow), ID_LYRICS_WINDOW,
                MF_BYCOMMAND | (LyricsWindow.shown ? MF_CHECKED : MF_UNCHECKED));
}

// No owner: an owned window would hide with the main window when it is minimised.
static void OpenLyricsWindow() {
  if (Paint.window || !RegisterLyricsClass()) return;
  Paint.dpi = ScreenDpi;
  const ScreenBox place = PlaceOnScreen();
  Paint.window = CreateWindowExA(ExStyle(), LYRICS_WINDOW_CLASS, "", WS_POPUP, place.x, place.y,
                                 place.width, place.height, nullptr, nullptr, AppInstance, nullptr);
  if (!Paint.window) return;
  Redraw();
  ShowWindow(Paint.window, SW_SHOWNOACTIVATE);
}

void CloseLyricsWindow() {
  if (!Paint.window) return;
  HWND window = Paint.window;
  Paint.window = nullptr;
  Paint.drawnValid = false;
  DestroyWindow(window);
  ReleaseCanvas();
}

void RestoreLyricsWindow() {
  if (LyricsWindow.shown) OpenLyricsWindow();
  ShowCheck();
}

static void SetShown(bool shown) {
  LyricsWindow.shown = shown;
  if (shown) OpenLyricsWindow();
  else CloseLyricsWindow();
  ShowCheck();
  KeepFlag(LyricsShownKey, shown);
}

void ToggleLyricsWindow(HWND) { SetShown(!LyricsWindow.shown); }

static void SetLocked(bool locked) {
  if (LyricsWindow.locked != locked) {
    LyricsWindow.locked = locked;
    KeepFlag(LyricsLockKey, locked);
  }
  if (!Paint.window) return;
  SetWindowLongPtrA(Paint.window, GWL_EXSTYLE, ExStyle());
  Redraw();  // the shade and the button come and go
}

void LockLyricsWindow(HWND) { SetLocked(true); }

void UnlockLyricsWindow(HWND) {
  SetLocked(false);
  if (!LyricsWindow.shown) SetShown(true);
}
