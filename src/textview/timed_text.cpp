#include "textview/timed_text.h"

#include "base/bytes.h"
#include "textview/view_geometry.h"

#include <cstdio>

TimedTextRecord TimedText = {false, 0, 0, {}, -1};
long LyricsOffset = 0;
const char LyricsNoticeFormat[] = "歌詞 %c%ld.%ld秒";

namespace {

enum { OFFSET_LIMIT = 24 * 3600 * 1000 };  // a day: anything more is a typo

// Up to most digits at line[*at] into *value; gives how many. (Kept in locals: the loop
// runs on every tag the loader reads.)
int ReadDigits(const char *line, int length, int *at, int most, long *value) {
  const int from = *at, stop = length - from < most ? length : from + most;
  int i = from;
  long number = 0;
  for (; i < stop && IsAsciiDigit(line[i]); ++i) number = number * 10 + (line[i] - '0');
  *at = i;
  *value = number;
  return i - from;
}

// The time after the opening bracket at line[at]: m:s, then .f (or :f inside square
// brackets), then the closing bracket.
TimeTagKind ReadTime(const char *line, int length, int at, char close, TimeTag *tag) {
  long minutes, seconds, fraction = 0;
  int digits = ReadDigits(line, length, &at, 3, &minutes);
  if (at >= length) return TAG_MORE;
  if (!digits || line[at++] != ':') return TAG_NONE;
  digits = ReadDigits(line, length, &at, 2, &seconds);
  if (seconds >= 60) return TAG_NONE;
  if (at >= length) return TAG_MORE;
  if (!digits) return TAG_NONE;
  TimeTagKind kind = close == '>' ? TAG_ANGLE_TIME : TAG_LINE_TIME;
  if (line[at] == '.' || (line[at] == ':' && close == ']')) {
    if (line[at++] == ':') kind = TAG_COLON_TIME;
    digits = ReadDigits(line, length, &at, 3, &fraction);
    if (at >= length) return TAG_MORE;
    if (!digits) return TAG_NONE;
    for (; digits < 3; ++digits) fraction *= 10;  // .5 is 500 ms, .05 is 50
  }
  if (line[at] != close) return TAG_NONE;
  tag->end = at + 1;
  tag->ms = (minutes * 60 + seconds) * 1000 + fraction;
  return kind;
}

bool IsOffsetName(const char *name, int length) {
  static const char offset[] = "offset";
  if (length != 6) return false;
  for (int i = 0; i < 6; ++i)
    if (LowerAscii(name[i]) != offset[i]) return false;
  return true;
}

// A header's letters from line[at] up to ':'; of an offset, its value: blanks, a sign,
// 1 to 8 digits, blanks, "]".
TimeTagKind ReadHeader(const char *line, int length, int at, TimeTag *tag) {
  const int name = at;
  while (at < length && IsAsciiLetter(line[at])) ++at;
  if (at >= length) return TAG_MORE;
  if (line[at] != ':') return TAG_NONE;
  tag->end = ++at;
  if (!IsOffsetName(line + name, at - 1 - name)) return TAG_HEADER;
  while (at < length && IsBlank(line[at])) ++at;
  long sign = 1, value;
  if (at < length && (line[at] == '+' || line[at] == '-')) sign = line[at++] == '-' ? -1 : 1;
  if (!ReadDigits(line, length, &at, 8, &value)) return TAG_HEADER;
  while (at < length && IsBlank(line[at])) ++at;
  if (at >= length || line[at] != ']' || value > OFFSET_LIMIT) return TAG_HEADER;
  tag->end = at + 1;
  tag->ms = sign * value;
  return TAG_OFFSET;
}

}  // namespace

TimeTagKind ReadTimeTag(const char *line, int length, int at, TimeTag *tag) {
  if (at >= length) return TAG_MORE;
  const char open = line[at++];
  if (open != '[' && open != '<') return TAG_NONE;
  if (at >= length) return TAG_MORE;
  if (IsAsciiDigit(line[at])) return ReadTime(line, length, at, open == '[' ? ']' : '>', tag);
  if (open == '[' && IsAsciiLetter(line[at])) return ReadHeader(line, length, at, tag);
  return TAG_NONE;
}

int ParseTimeTag(const char *line, int length, long *ms) {
  TimeTag tag;
  if (ReadTimeTag(line, length, 0, &tag) != TAG_LINE_TIME) return 0;
  *ms = tag.ms;
  return tag.end;
}

void ClearTimedText() {
  TimedText.timed = false;
  TimedText.offset = 0;
  TimedText.entryCount = 0;
  TimedText.marked = -1;
}

void AddTimedLine(const long *times, int count, int firstRow, int rowCount) {
  TimedText.timed = true;
  for (int i = 0; i < count && TimedText.entryCount < TIMED_ENTRIES; ++i) {
    TimedEntry &entry = TimedText.entries[TimedText.entryCount++];
    entry.time = times[i];
    entry.tagTime = times[i];
    entry.order = static_cast<short>(TimedText.entryCount - 1);
    entry.firstRow = static_cast<short>(firstRow);
    entry.rowCount = static_cast<short>(rowCount);
  }
}

static bool ComesBefore(const TimedEntry &a, const TimedEntry &b) {
  return a.time < b.time || (a.time == b.time && a.order < b.order);
}

// Both offsets applied to the tags' times, and the entries ordered by time, equal times
// in the text's order, as they were read.
static void ApplyOffsets() {
  TimedEntry *entries = TimedText.entries;
  const int markedOrder = TimedText.marked >= 0 ? entries[TimedText.marked].order : -1;
  for (int i = 0; i < TimedText.entryCount; ++i) {
    long shifted = entries[i].tagTime - TimedText.offset - LyricsOffset;
    entries[i].time = shifted < 0 ? 0 : shifted;
  }
  // Insertion sort: allocation-free, and near-linear on texts written in order.
  for (int i = 1; i < TimedText.entryCount; ++i) {
    TimedEntry entry = entries[i];
    int j = i;
    for (; j > 0 && ComesBefore(entry, entries[j - 1]); --j) entries[j] = entries[j - 1];
    entries[j] = entry;
  }
  for (int i = 0; i < TimedText.entryCount; ++i)
    if (entries[i].order == markedOrder) TimedText.marked = i;
}

void FinishTimedText() { ApplyOffsets(); }

void ShiftLyrics(long offset) {
  LyricsOffset = offset;
  ApplyOffsets();
}

long StepLyricsOffset(long offset, int steps) {
  long next = offset + static_cast<long>(steps) * LYRICS_OFFSET_STEP;
  if (next > LYRICS_OFFSET_HELD) return LYRICS_OFFSET_HELD;
  if (next < -LYRICS_OFFSET_HELD) return -LYRICS_OFFSET_HELD;
  return next;
}

void FormatLyricsNotice(long offset, char *out, int size) {
  const long magnitude = offset < 0 ? -offset : offset;
  std::snprintf(out, static_cast<size_t>(size), LyricsNoticeFormat, offset < 0 ? '-' : '+',
                magnitude / 1000, magnitude % 1000 / 100);
}

static bool EntryHoldsRow(int entry, int row) {
  const TimedEntry &e = TimedText.entries[entry];
  return row >= e.firstRow && row < e.firstRow + e.rowCount;
}

int TimedEntryOfRow(int row) {
  if (TimedText.marked >= 0 && EntryHoldsRow(TimedText.marked, row)) return TimedText.marked;
  for (int i = 0; i < TimedText.entryCount; ++i)
    if (EntryHoldsRow(i, row)) return i;
  return -1;
}

long NextLineTime(int entry) {
  if (entry < 0) return -1;
  for (int i = entry + 1; i < TimedText.entryCount; ++i)
    if (TimedText.entries[i].time > TimedText.entries[entry].time) return TimedText.entries[i].time;
  return -1;
}

int TimedEntryAt(long ms) {
  const TimedEntry *e = TimedText.entries;
  const int n = TimedText.entryCount;
  // Checked first, in this order, are the cases of almost every tick: the same line
  // still, the next line, and before the first line.
  const int m = TimedText.marked;
  if (m >= 0 && m < n && e[m].time <= ms && (m + 1 == n || e[m + 1].time > ms)) return m;
  if (m + 1 < n && e[m + 1].time <= ms && (m + 2 >= n || e[m + 2].time > ms)) return m + 1;
  if (n == 0 || ms < e[0].time) return -1;
  int low = 0, high = n - 1;  // e[low].time <= ms; the answer is in low..high
  while (low < high) {
    int middle = low + (high - low + 1) / 2;
    if (e[middle].time <= ms) low = middle;
    else high = middle - 1;
  }
  return low;
}

bool IsMarkedRow(int row) {
  const int m = TimedText.marked;
  if (m < 0) return false;
  const TimedEntry &entry = TimedText.entries[m];
  return row >= entry.firstRow && row < entry.firstRow + entry.rowCount;
}

int FollowScrollTarget(int row) {
  long long target = static_cast<long long>(row) * TextView.linePitch - TextView.viewHeight / 4;
  if (target > TextView.scrollMax) target = TextView.scrollMax;
  if (target < 0) target = 0;
  return static_cast<int>(target);
}

bool FollowSongTime(long ms, FollowChange *change) {
  if (!TimedText.timed) return false;
  const int entry = TimedEntryAt(ms);
  if (entry == TimedText.marked) return false;
  change->oldEntry = TimedText.marked;
  change->newEntry = entry;
  TimedText.marked = entry;
  // Before the first line (after Top, say) the view goes back to the start.
  const int target = entry < 0 ? 0 : FollowScrollTarget(TimedText.entries[entry].firstRow);
  change->scrollStep = target - TextView.scrollPos;
  return true;
}
