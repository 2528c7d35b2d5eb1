#include "textview/textview_win.h"

#include "library/library.h"
#include "shell/focus_win.h"
#include "shell/player_state.h"
#include "shell/shell_win.h"
#include "textview/text_encoding.h"
#include "textview/text_timing.h"
#include "textview/textbuffer.h"
#include "textview/timed_text.h"
#include "textview/view_input.h"

void (*SeekSongToLine)(long ms) = nullptr;
void (*LoopSongLine)(long startMs, long endMs) = nullptr;

// The Shift-JIS fixed-pitch face, stored as code page 932 bytes.
static const char TextFaceName[] = "ＭＳ ゴシック";

// The platform's own table, asked without best fit (which would turn é into e) and
// checked by the way back, so only characters 932 really holds are taken.
int CodePage932FromPlatform(long codePoint, unsigned char *out) {
  WCHAR units[2];
  int count = CodePointToUtf16(codePoint, reinterpret_cast<unsigned short *>(units));
  char bytes[4];
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, units, count, bytes, sizeof bytes,
                              nullptr, &usedDefault);
  if (n < 1 || n > 2 || usedDefault) return 0;
  WCHAR back[2];
  if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, n, back, 2) != count) return 0;
  for (int i = 0; i < count; i++)
    if (back[i] != units[i]) return 0;
  for (int i = 0; i < n; i++) out[i] = static_cast<unsigned char>(bytes[i]);
  return n;
}

void LoadText(int index) {
  ClearTextBuffer();
  // An index outside the table has no path to open; -1 means no text.
  if (index >= 0 && index < TEXT_CAPACITY) ReadTextFile(TextList.paths[index], CodePage932FromPlatform);
  UpdateLineMetrics();
  TextView.scrollPos = 0;
  UpdateScrollRange();
  InvalidateRect(TextViewWindow, nullptr, TRUE);
}

void UpdateScrollRange() {
  RecomputeScrollRange();
  SetScrollRange(TextViewWindow, SB_VERT, 0, TextView.scrollMax, FALSE);
  SetScrollPos(TextViewWindow, SB_VERT, TextView.scrollPos, TRUE);
}

// Moves the view by a step already clamped to the scroll range.
static void MoveTextView(int step) {
  if (step == 0) return;
  TextView.scrollPos += step;
  ScrollWindow(TextViewWindow, 0, -step, nullptr, nullptr);
  SetScrollPos(TextViewWindow, SB_VERT, TextView.scrollPos, TRUE);
  UpdateWindow(TextViewWindow);
}

void ScrollTextView(int code, int pos) { MoveTextView(ScrollStepFor(code, pos)); }

static void InvalidateTimedLine(int entry) {
  if (entry < 0) return;
  const TimedEntry &line = TimedText.entries[entry];
  RECT rows = {0, line.firstRow * TextView.linePitch - TextView.scrollPos, TextView.viewWidth,
               (line.firstRow + line.rowCount) * TextView.linePitch - TextView.scrollPos};
  // Opaque text cells cover the old colour: no erase, no flicker.
  InvalidateRect(TextViewWindow, &rows, FALSE);
}

// From the position tick: nothing for a text without tags, else a comparison or two,
// and only when a new line starts a move of the view and a repaint of two lines.
bool FollowsSong() { return TimedText.timed; }

void FollowSongPosition(long long position) {
  if (!TimedText.timed) return;
  FollowChange change;
  if (!FollowSongTime(static_cast<long>(position / 10000), &change)) return;
  MoveTextView(change.scrollStep);
  InvalidateTimedLine(change.oldEntry);
  InvalidateTimedLine(change.newEntry);
}

// The thumb position of WM_VSCROLL. The message carries only 16 bits, so a long
// text's thumb past 32767 would read as negative and throw the view to the top;
// while dragging, the scroll bar's own 32-bit track position is taken instead.
static int ThumbPosition(HWND hwnd, WPARAM wParam) {
  int pos = static_cast<short>(HIWORD(wParam));
  if (LOWORD(wParam) != SB_THUMBTRACK) return pos;
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_TRACKPOS;
  if (GetScrollInfo(hwnd, SB_VERT, &info) && LOWORD(info.nTrackPos) == HIWORD(wParam))
    return info.nTrackPos;
  return pos;
}

// The TextView never keeps the focus: the button the player state calls for gets it.
static void GiveFocusAway() { ApplyFocusRule(); }

void ShiftLyricsInView(long offset) {
  ShiftLyrics(offset);
  InvalidateRect(TextViewWindow, nullptr, FALSE);  // the mark may move to another line
}

void ShowTimingInView() {
  int first, count;
  TimingMarker(&first, &count);
  if (count) MoveTextView(FollowScrollTarget(first) - TextView.scrollPos);
  InvalidateRect(TextViewWindow, nullptr, TRUE);
}

// The timed line under a click, -1 for none (or a text without tags).
static int TimedEntryAtClick(LPARAM lParam) {
  if (!TimedText.timed) return -1;
  return TimedEntryOfRow(RowAtY(static_cast<short>(HIWORD(lParam))));
}

static void ClickTextView(LPARAM lParam) {
  const int entry = TimedEntryAtClick(lParam);
  if (entry >= 0 && SeekSongToLine) SeekSongToLine(TimedText.entries[entry].time);
  GiveFocusAway();
}

static void DoubleClickTextView(LPARAM lParam) {
  const int entry = TimedEntryAtClick(lParam);
  if (entry >= 0 && LoopSongLine) LoopSongLine(TimedText.entries[entry].time, NextLineTime(entry));
  GiveFocusAway();
}

// As many text lines a notch as the system's setting asks, moved as the scroll bar
// moves the view; a timed text's follow then waits for its next line.
static void WheelTextView(WPARAM wParam) {
  static int carry = 0;
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  MoveTextView(WheelScrollStep(GET_WHEEL_DELTA_WPARAM(wParam), static_cast<int>(lines), &carry));
}

static void ResizeTextView(HWND hwnd, LPARAM lParam) {
  TextView.viewWidth = LOWORD(lParam);
  TextView.viewHeight = HIWORD(lParam);
  PlaceVideo(hwnd);
  UpdateLineMetrics();
  UpdateScrollRange();
  // A new width means a new font height for the whole text.
  if (PlayerState.matchedText != -1) InvalidateRect(hwnd, nullptr, TRUE);
}

static HFONT CreateTextFont(int height) {
  LOGFONTA font = {};
  font.lfHeight = height;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfPitchAndFamily = FIXED_PITCH | FF_DONTCARE;
  lstrcpynA(font.lfFaceName, TextFaceName, LF_FACESIZE);
  HFONT created = CreateFontIndirectA(&font);
  return created ? created : static_cast<HFONT>(GetStockObject(OEM_FIXED_FONT));
}

static void PaintTextView(HWND hwnd) {
  // The video window (the only child) is repainted with the text beneath it.
  HWND child = GetWindow(hwnd, GW_CHILD);
  if (child) InvalidateRect(child, nullptr, TRUE);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  HFONT font = CreateTextFont(UpdateLineMetrics());
  HGDIOBJ previous = SelectObject(dc, font);
  const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
  // The line being sung: the selection colour, which the system keeps legible on the
  // window colour behind it.
  const COLORREF mark = GetSysColor(COLOR_HIGHLIGHT);
  // The line timing stamps next: the colours of a tip, over its whole rows.
  const COLORREF paper = GetSysColor(COLOR_WINDOW), tip = GetSysColor(COLOR_INFOBK);
  // Every row is drawn; the device context clips those outside the view.
  for (int i = 0; i < TextBuffer.lineCount; i++) {
    const int y = -TextView.scrollPos + i * TextView.linePitch;
    const bool next = IsTimingMarkerRow(i);
    if (next) {
      RECT row = {0, y, TextView.viewWidth, y + TextView.linePitch};
      FillRect(dc, &row, GetSysColorBrush(COLOR_INFOBK));
    }
    SetBkColor(dc, next ? tip : paper);
    SetTextColor(dc, IsMarkedRow(i) ? mark : next ? GetSysColor(COLOR_INFOTEXT) : ink);
    if (TextBuffer.wideUnits[i]) {
      TextOutW(dc, 0, y, reinterpret_cast<const WCHAR *>(TextBuffer.wide[i]), TextBuffer.wideUnits[i]);
    } else {
      const char *row = TextBuffer.rows[i];
      TextOutA(dc, 0, y, row, lstrlenA(row));
    }
  }
  SelectObject(dc, previous);
  DeleteObject(font);  // a no-op for the stock font
  EndPaint(hwnd, &paint);
}

static void StoreInitialSize(HWND hwnd) {
  RECT client = {0, 0, 0, 0};
  GetClientRect(hwnd, &client);
  TextView.viewWidth = client.right;
  TextView.viewHeight = client.bottom;
}

LRESULT CALLBACK TextViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: StoreInitialSize(hwnd); break;
    case WM_SIZE: ResizeTextView(hwnd, lParam); break;
    case WM_SETFOCUS: GiveFocusAway(); return 0;
    case WM_PAINT: PaintTextView(hwnd); return 0;
    case WM_VSCROLL: ScrollTextView(LOWORD(wParam), ThumbPosition(hwnd, wParam)); return 0;
    case WM_LBUTTONDOWN: ClickTextView(lParam); break;
    case WM_LBUTTONDBLCLK: DoubleClickTextView(lParam); break;
    case WM_MOUSEWHEEL: WheelTextView(wParam); return 0;
    default: break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}
