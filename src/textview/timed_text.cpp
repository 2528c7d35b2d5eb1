#include "textview/timed_text.h"

#include "textview/view_geometry.h"

#include <cstdio>

TimedTextRecord TimedText = {false, 0, 0, {}, -1};
long LyricsOffset = 0;
const char LyricsNoticeFormat[] = "歌詞 %c%ld.%ld秒";

namespace {

enum { OFFSET_LIMIT = 24 * 3600 * 1000 };  // a day: anything more is a typo

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Up to most digits at line[*at]; false when there are fewer than least.
bool ReadDigits(const char *line, int length, int *at, int least, int most, long *value,
                int *digits) {
  *value = 0;
  *digits = 0;
  while (*at < length && *digits < most && IsDigit(line[*at])) {
    *value = *value * 10 + (line[(*at)++] - '0');
    ++*digits;
  }
  return *digits >= least;
}

int TrimmedLength(const char *line, int length) {
  while (length > 0 && IsBlank(line[length - 1])) --length;
  return length;
}

// Letters from line[1] up to ':'; gives the index after ':', 0 when it is no name.
int HeaderNameEnd(const char *line, int length) {
  if (length < 1 || line[0] != '[') return 0;
  int at = 1;
  while (at < length && IsLetter(line[at])) ++at;
  if (at == 1 || at >= length || line[at] != ':') return 0;
  return at + 1;
}

}  // namespace

int ParseTimeTag(const char *line, int length, long *ms) {
  int at = 0;
  if (length < 1 || line[0] != '[') return 0;
  at = 1;
  long minutes, seconds, fraction = 0;
  int digits;
  if (!ReadDigits(line, length, &at, 1, 3, &minutes, &digits)) return 0;
  if (at >= length || line[at++] != ':') return 0;
  if (!ReadDigits(line, length, &at, 1, 2, &seconds, &digits) || seconds >= 60) return 0;
  if (at < length && line[at] == '.') {
    ++at;
    if (!ReadDigits(line, length, &at, 1, 3, &fraction, &digits)) return 0;
    for (; digits < 3; ++digits) fraction *= 10;  // .5 is 500 ms, .05 is 50
  }
  if (at >= length || line[at++] != ']') return 0;
  *ms = (minutes * 60 + seconds) * 1000 + fraction;
  return at;
}

int LeadingTimeTags(const char *line, int length, long *times, int capacity, int *count) {
  int at = 0;
  *count = 0;
  long ms;
  for (int n; (n = ParseTimeTag(line + at, length - at, &ms)) > 0; at += n) {
    if (*count < capacity) times[*count] = ms;
    ++*count;
  }
  if (*count > capacity) *count = capacity;
  return at;
}

bool IsHeaderLine(const char *line, int length) {
  length = TrimmedLength(line, length);
  // The closing bracket is the line's last byte: one inside the value may be the
  // second byte of a double-byte character.
  return HeaderNameEnd(line, length) > 0 && line[length - 1] == ']';
}

bool ReadOffsetHeader(const char *line, int length, long *offset) {
  if (!IsHeaderLine(line, length)) return false;
  int at = HeaderNameEnd(line, length);
  static const char name[] = "offset";
  if (at != 8) return false;
  for (int i = 0; i < 6; ++i)
    if ((line[1 + i] | 0x20) != name[i]) return false;
  while (at < length && IsBlank(line[at])) ++at;
  long sign = 1;
  if (at < length && (line[at] == '+' || line[at] == '-')) sign = line[at++] == '-' ? -1 : 1;
  long value;
  int digits;
  if (!ReadDigits(line, length, &at, 1, 8, &value, &digits)) return false;
  while (at < length && IsBlank(line[at])) ++at;
  if (at >= length || line[at] != ']' || value > OFFSET_LIMIT) return false;
  *offset = sign * value;
  return true;
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
