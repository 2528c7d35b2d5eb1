#include "textview/textview_win.h"

#include <algorithm>

#include "library/library.h"
#include "shell/focus_win.h"
#include "shell/player_state.h"
#include "shell/shell_win.h"
#include "textview/lyrics_window_win.h"
#include "textview/text_encoding.h"
#include "textview/text_font_win.h"
#include "textview/text_timing.h"
#include "textview/textbuffer.h"
#include "textview/timed_text.h"
#include "textview/view_input.h"

void (*SeekSongToLine)(long ms) = nullptr;
void (*LoopSongLine)(long startMs, long endMs) = nullptr;
long (*SongMsHeard)() = nullptr;
FillTraceRecord FillTrace;

// The fill of the marked line as last drawn, and the song's time last followed.
struct FillRecord {
  int entry;     // the entry it was drawn for, -1 for none
  double cells;  // the cells filled then
  long followedMs;
  HFONT font;    // the text's font for the fill drawn between paints, and its height
  int fontHeight;
  double cellWidth;  // pixels of a half-width cell in that font, 0 until measured
};
static FillRecord Fill = {-1, -1, 0, nullptr, 0, 0};

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
  RefreshLyricsWindow(true);
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

static RECT TimedLineRect(int entry) {
  const TimedEntry &line = TimedText.entries[entry];
  return {0, line.firstRow * TextView.linePitch - TextView.scrollPos, TextView.viewWidth,
          (line.firstRow + line.rowCount) * TextView.linePitch - TextView.scrollPos};
}

static void InvalidateTimedLine(int entry) {
  if (entry < 0) return;
  const RECT rows = TimedLineRect(entry);
  // Opaque text cells cover the old colour: no erase, no flicker.
  InvalidateRect(TextViewWindow, &rows, FALSE);
}

// From the position tick: nothing for a text without tags, else a comparison or two,
// and only when a new line starts a move of the view and a repaint of two lines.
bool FollowsSong() { return TimedText.timed; }

static void DrawFillNow(double cells);

void FollowSongPosition(long long position) {
  if (!TimedText.timed) return;
  const long ms = static_cast<long>(position / 10000);
  Fill.followedMs = ms;
  FollowChange change;
  if (!FollowSongTime(ms, &change)) {
    // The same line: only what its fill has moved over is drawn, at once.
    const int marked = TimedText.marked;
    const double cells = FilledCells(marked, ms);
    if (cells >= 0 && marked == Fill.entry && cells != Fill.cells) DrawFillNow(cells);
    else if (cells >= 0 && marked != Fill.entry) InvalidateTimedLine(marked);
    if (cells >= 0) FollowLyricsFill(ms);
    return;
  }
  FollowLyricsFill(ms);
  MoveTextView(change.scrollStep);
  InvalidateTimedLine(change.oldEntry);
  InvalidateTimedLine(change.newEntry);
  RefreshLyricsWindow(false);
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
  RefreshLyricsWindow(false);
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

static long long Microseconds() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return counter.QuadPart / frequency.QuadPart * 1000000 + counter.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}

static void NoteFillDrawn(int entry, double cells) {
  if (entry == Fill.entry && cells == Fill.cells) return;
  Fill.entry = entry;
  Fill.cells = cells;
  const int slot = FillTrace.count++ % FILL_TRACE;
  FillTrace.at[slot] = Microseconds();
  FillTrace.cells[slot] = cells;
}

// A row of the marked line that is being sung: the cells sung in the selection colour,
// the rest in the text's, each part clipped to its side of the boundary, so nothing is
// drawn twice and nothing flickers. The font's cells are even, so the boundary's x is
// the row's width in proportion. With fromCells at 0 or more, only the slice between
// the boundary then and now is drawn.
static void DrawFilledRow(HDC dc, int row, int y, double lineCells, double fromCells) {
  const TimedEntry &line = TimedText.entries[TimedText.marked];
  const char *bytes = TextBuffer.rows[row];
  const int length = lstrlenA(bytes);
  // Every row of a line but its last holds ROW_BYTES - 1 of its bytes.
  const int rowStart = (row - line.firstRow) * (ROW_BYTES - 1);
  const double cells = RowFilledCells(lineCells, rowStart, length);
  const double from = fromCells < 0 ? -1 : RowFilledCells(fromCells, rowStart, length);
  if (from == cells) return;
  const WCHAR *wide = reinterpret_cast<const WCHAR *>(TextBuffer.wide[row]);
  const int units = TextBuffer.wideUnits[row];
  SIZE extent = {0, 0};
  if (units) GetTextExtentPoint32W(dc, wide, units, &extent);
  else GetTextExtentPoint32A(dc, bytes, length, &extent);
  if (length) Fill.cellWidth = static_cast<double>(extent.cx) / length;
  auto xOf = [&](double c) { return length ? static_cast<int>(extent.cx * c / length + 0.5) : 0; };
  const int x = xOf(cells);
  int left = 0, right = extent.cx;
  if (from >= 0) {
    left = std::min(x, xOf(from));
    right = std::max(x, xOf(from));
    if (left == right) return;
  }
  const RECT parts[2] = {{left, y, std::min(x, right), y + extent.cy}, {std::max(x, left), y, right, y + extent.cy}};
  for (int i = 0; i < 2; i++) {
    if (parts[i].left >= parts[i].right) continue;
    SetTextColor(dc, GetSysColor(i == 0 ? COLOR_HIGHLIGHT : COLOR_WINDOWTEXT));
    if (units) ExtTextOutW(dc, 0, y, ETO_CLIPPED, &parts[i], wide, static_cast<UINT>(units), nullptr);
    else ExtTextOutA(dc, 0, y, ETO_CLIPPED, &parts[i], bytes, static_cast<UINT>(length), nullptr);
  }
}

// Kept while the fill moves: a font made on every tick would cost more than the drawing.
static void ForgetFillFont() {
  if (Fill.font) DeleteObject(Fill.font);
  Fill.font = nullptr;
}

// The marked line's fill moved on from where it was drawn: the slice it moved over, on
// each row in view, straight onto the window, as the position bar is drawn. Cheaper
// than a paint of its rows, which a position timer would ask for on every tick.
static void DrawFillNow(double cells) {
  const TimedEntry &line = TimedText.entries[TimedText.marked];
  // Each draw onto the window costs the program, the window server and the display
  // about as much as a whole position tick: none while the boundary stays on its pixel.
  const double width = Fill.cellWidth;
  if (width > 0 && static_cast<int>(Fill.cells * width + 0.5) == static_cast<int>(cells * width + 0.5)) return;
  const int height = FontHeightFor(TextView.viewWidth, TextBuffer.longest);
  if (!Fill.font || Fill.fontHeight != height) {
    ForgetFillFont();
    Fill.font = CreateTextFont(height);
    Fill.fontHeight = height;
  }
  HDC dc = GetDC(TextViewWindow);
  HGDIOBJ previous = SelectObject(dc, Fill.font);
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  for (int row = line.firstRow; row < line.firstRow + line.rowCount; row++) {
    const int y = -TextView.scrollPos + row * TextView.linePitch;
    if (y + TextView.linePitch > 0 && y < TextView.viewHeight) DrawFilledRow(dc, row, y, cells, Fill.cells);
  }
  SelectObject(dc, previous);
  ReleaseDC(TextViewWindow, dc);
  NoteFillDrawn(TimedText.marked, cells);
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
  // A marked line with word tags is filled as far as the song is heard now.
  const int marked = TimedText.marked;
  const double filled = FilledCells(marked, SongMsHeard ? SongMsHeard() : Fill.followedMs);
  // Every row is drawn; the device context clips those outside the view.
  for (int i = 0; i < TextBuffer.lineCount; i++) {
    const int y = -TextView.scrollPos + i * TextView.linePitch;
    const bool next = IsTimingMarkerRow(i);
    if (next) {
      RECT row = {0, y, TextView.viewWidth, y + TextView.linePitch};
      FillRect(dc, &row, GetSysColorBrush(COLOR_INFOBK));
    }
    const bool markedRow = IsMarkedRow(i);
    SetBkColor(dc, next ? tip : paper);
    SetTextColor(dc, markedRow ? mark : next ? GetSysColor(COLOR_INFOTEXT) : ink);
    if (markedRow && filled >= 0) {
      DrawFilledRow(dc, i, y, filled, -1);
    } else if (TextBuffer.wideUnits[i]) {
      TextOutW(dc, 0, y, reinterpret_cast<const WCHAR *>(TextBuffer.wide[i]), TextBuffer.wideUnits[i]);
    } else {
      const char *row = TextBuffer.rows[i];
      TextOutA(dc, 0, y, row, lstrlenA(row));
    }
  }
  if (filled >= 0) {
    const RECT line = TimedLineRect(marked);
    if (RectVisible(dc, &line)) NoteFillDrawn(marked, filled);
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
    case WM_DESTROY: ForgetFillFont(); break;
    default: break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}
