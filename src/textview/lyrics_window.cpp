#include "textview/lyrics_window.h"

#include <cstdio>

#include "base/bytes.h"
#include "textview/textbuffer.h"
#include "textview/timed_text.h"

LyricsWindowRecord LyricsWindow = {{0, 0, 0, 0}, false, false};

const char LyricsPlaceKey[] = "lyricswindow";
const char LyricsLockKey[] = "lyricslock";
const char LyricsShownKey[] = "lyricsshown";

// A signed decimal at text[*at], blanks around it; false without a digit or past the
// range a screen coordinate can have.
static bool ReadNumber(const char *text, int *at, int *value) {
  int i = *at;
  while (IsBlank(text[i])) ++i;
  const bool negative = text[i] == '-';
  if (text[i] == '-' || text[i] == '+') ++i;
  if (!IsAsciiDigit(text[i])) return false;
  long number = 0;
  for (; IsAsciiDigit(text[i]); ++i) {
    number = number * 10 + (text[i] - '0');
    if (number > 1000000) return false;
  }
  while (IsBlank(text[i])) ++i;
  *at = i;
  *value = static_cast<int>(negative ? -number : number);
  return true;
}

bool ParseLyricsPlace(const char *text, ScreenBox *place) {
  int values[4], at = 0;
  for (int i = 0; i < 4; ++i) {
    if (!ReadNumber(text, &at, &values[i])) return false;
    if (text[at++] != (i < 3 ? ',' : '\0')) return false;
  }
  if (values[2] < 1 || values[3] < 1) return false;
  *place = {values[0], values[1], values[2], values[3]};
  return true;
}

void FormatLyricsPlace(const ScreenBox &place, char *out, int size) {
  std::snprintf(out, static_cast<size_t>(size), "%d,%d,%d,%d", place.x, place.y, place.width, place.height);
}

static bool Meets(const ScreenBox &a, const ScreenBox &b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// start..start+length within from..from+room, moved as little as it can be.
static void KeepWithin(int *start, int *length, int from, int room) {
  if (*length > room) *length = room;
  if (*start < from) *start = from;
  if (*start + *length > from + room) *start = from + room - *length;
}

ScreenBox BringOntoMonitor(const ScreenBox &place, const ScreenBox &monitor, const ScreenBox &work) {
  if (Meets(place, monitor)) return place;
  ScreenBox moved = place;
  KeepWithin(&moved.x, &moved.width, work.x, work.width);
  KeepWithin(&moved.y, &moved.height, work.y, work.height);
  return moved;
}

ScreenBox DefaultLyricsPlace(const ScreenBox &work, int dpi) {
  const int width = work.width * 3 / 5, height = dpi > 0 ? dpi : 96;  // an inch tall
  return {work.x + (work.width - width) / 2, work.y + work.height - height - height / 2, width, height};
}

// Each line gets half the height; the font fills four fifths of it, the rest is the
// outline's and the gap's.
int LyricsFontHeight(int windowHeight) {
  const int height = windowHeight * 2 / 5;
  return height < 1 ? 1 : height;
}

int FittedFontHeight(int fontHeight, int extent, int available) {
  if (extent <= available || extent <= 0) return fontHeight;
  const int fitted = static_cast<int>(static_cast<long long>(fontHeight) * available / extent);
  return fitted < 1 ? 1 : fitted;
}

static bool RowHasText(int row) {
  for (const char *p = TextBuffer.rows[row]; *p; ++p)
    if (!IsBlank(*p)) return true;
  return false;
}

static ShownLine LineOfEntry(int entry) {
  if (entry < 0) return {0, 0};
  return {TimedText.entries[entry].firstRow, TimedText.entries[entry].rowCount};
}

// The first entry after entry (in time) that is another line; -1 when none follows.
static int NextLineEntry(int entry) {
  for (int i = entry + 1; i < TimedText.entryCount; ++i)
    if (entry < 0 || TimedText.entries[i].firstRow != TimedText.entries[entry].firstRow) return i;
  return -1;
}

LyricsLines PickLyricsLines() {
  LyricsLines lines = {{0, 0}, {0, 0}, -1, false};
  if (TextBuffer.lineCount == 0) {
    lines.titleLine = true;
  } else if (TimedText.timed) {
    const int marked = TimedText.marked;
    // Before the first line nothing is sung yet: the first two lines wait for it.
    const int top = marked >= 0 ? marked : NextLineEntry(-1);
    lines.sungEntry = marked;
    lines.top = LineOfEntry(top);
    lines.bottom = top >= 0 ? LineOfEntry(NextLineEntry(top)) : ShownLine{0, 0};
  } else {
    ShownLine *next = &lines.top;
    for (int row = 0; row < TextBuffer.lineCount && next; ++row) {
      if (!RowHasText(row)) continue;
      *next = {row, 1};
      next = next == &lines.top ? &lines.bottom : nullptr;
    }
  }
  return lines;
}

bool SameLyricsLines(const LyricsLines &a, const LyricsLines &b) {
  return a.top.firstRow == b.top.firstRow && a.top.rowCount == b.top.rowCount &&
         a.bottom.firstRow == b.bottom.firstRow && a.bottom.rowCount == b.bottom.rowCount &&
         a.sungEntry == b.sungEntry && a.titleLine == b.titleLine;
}
