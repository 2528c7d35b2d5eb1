#include "textview/text_timing.h"

#include <cstdio>
#include <cstring>

#include "base/bytes.h"
#include "library/library.h"
#include "textview/text_encoding.h"
#include "textview/timed_text.h"

TimingRecord Timing;
const char TimingNoticeFormat[] = "タイミング %d/%d";

namespace {

enum { MAX_TAG_MINUTES = 999 };

// The timed entries of the text as loaded: the lines not stamped keep them while timing.
struct LoadedEntriesRecord {
  bool timed;
  int count;
  TimedEntry entries[TIMED_ENTRIES];
};
LoadedEntriesRecord Loaded;

char LastNonBlankOf(const char *row) {
  char last = 0;
  for (const char *p = row; *p; ++p)
    if (!IsBlank(*p)) last = *p;
  return last;
}

// A line of an untimed text shows its headers as rows: [ti:...], [offset:...].
bool IsHeaderLine(int firstRow, int rowCount, long *offset) {
  const char *row = TextBuffer.rows[firstRow];
  TimeTag tag;
  const TimeTagKind kind = ReadTimeTag(row, static_cast<int>(std::strlen(row)), 0, &tag);
  if ((kind != TAG_HEADER && kind != TAG_OFFSET) || LastNonBlankOf(TextBuffer.rows[firstRow + rowCount - 1]) != ']')
    return false;
  if (kind == TAG_OFFSET) *offset = tag.ms;
  return true;
}

bool HoldsText(int firstRow, int rowCount) {
  for (int r = firstRow; r < firstRow + rowCount; ++r)
    for (const char *p = TextBuffer.rows[r]; *p; ++p)
      if (!IsBlank(*p)) return true;
  return false;
}

// The text's line of each timed entry as loaded, -1 for a row out of range.
int LineOfEntry(const TimedEntry &entry) {
  return entry.firstRow >= 0 && entry.firstRow < TextBuffer.lineCount ? TextBuffer.rowLines[entry.firstRow] : -1;
}

bool IsStamped(int line) {
  for (int i = 0; i < Timing.next; ++i)
    if (Timing.lines[i] == line) return true;
  return false;
}

// The entries shown: the loaded ones of the lines not stamped, and one per stamp.
void ShowStamps() {
  TimedText.entryCount = 0;
  TimedText.marked = -1;
  for (int i = 0; i < Loaded.count; ++i)
    if (!IsStamped(LineOfEntry(Loaded.entries[i]))) {
      const TimedEntry &e = Loaded.entries[i];
      AddTimedLine(&e.tagTime, 1, e.firstRow, e.rowCount);
    }
  for (int i = 0; i < Timing.next; ++i) AddTimedLine(&Timing.times[i], 1, Timing.firstRows[i], Timing.rowCounts[i]);
  TimedText.timed = Loaded.timed || Timing.next > 0;
  FinishTimedText();
}

void MarkEntryOfRow(int row) {
  for (int i = 0; i < TimedText.entryCount; ++i)
    if (TimedText.entries[i].firstRow == row) TimedText.marked = i;
}

}  // namespace

bool StartTiming(const char *path) {
  TimingRecord &t = Timing;
  t.lineCount = 0;
  long offset = 0;
  for (int row = 0; row < TextBuffer.lineCount;) {
    int rows = 1;
    while (row + rows < TextBuffer.lineCount && TextBuffer.rowLines[row + rows] == TextBuffer.rowLines[row]) ++rows;
    if (!IsHeaderLine(row, rows, &offset) && HoldsText(row, rows)) {
      t.lines[t.lineCount] = TextBuffer.rowLines[row];
      t.firstRows[t.lineCount] = static_cast<short>(row);
      t.rowCounts[t.lineCount++] = static_cast<short>(rows);
    }
    row += rows;
  }
  if (t.lineCount == 0) return false;
  // A timed text read its headers; an untimed one shows them, and its offset counts
  // once the tags are written.
  t.offset = TimedText.timed ? TimedText.offset : offset;
  std::snprintf(t.path, sizeof t.path, "%s", path);
  t.next = 0;
  t.on = t.shown = true;
  t.quitHeld = false;
  Loaded.timed = TimedText.timed;
  Loaded.count = TimedText.entryCount;
  std::memcpy(Loaded.entries, TimedText.entries, sizeof(TimedEntry) * static_cast<size_t>(Loaded.count));
  TimedText.offset = t.offset;
  return true;
}

// The tag is the time the line is marked at with the offsets it is read with.
bool StampLine(long heardMs) {
  TimingRecord &t = Timing;
  if (!t.on || !t.shown || t.next >= t.lineCount) return false;
  long tag = heardMs + t.offset + LyricsOffset;
  t.times[t.next++] = tag < 0 ? 0 : tag;
  ShowStamps();
  MarkEntryOfRow(t.firstRows[t.next - 1]);
  return true;
}

bool TakeStampBack() {
  TimingRecord &t = Timing;
  if (!t.on || !t.shown || t.next == 0) return false;
  --t.next;
  ShowStamps();
  if (t.next > 0) MarkEntryOfRow(t.firstRows[t.next - 1]);
  return true;
}

void StopTiming() {
  if (Timing.on && Timing.shown) {
    Timing.next = 0;
    ShowStamps();
  }
  Timing.on = Timing.shown = false;
  Timing.next = Timing.lineCount = 0;
}

void TimingMarker(int *firstRow, int *rowCount) {
  const TimingRecord &t = Timing;
  const bool any = t.on && t.shown && t.next < t.lineCount;
  *firstRow = any ? t.firstRows[t.next] : 0;
  *rowCount = any ? t.rowCounts[t.next] : 0;
}

bool IsTimingMarkerRow(int row) {
  int first, count;
  TimingMarker(&first, &count);
  return row >= first && row < first + count;
}

void FormatTimingNotice(char *out, int size) {
  std::snprintf(out, static_cast<size_t>(size), TimingNoticeFormat, Timing.next, Timing.lineCount);
}

void FormatLineTag(long ms, char *out) {
  long hundredths = ms < 0 ? 0 : (ms + 5) / 10;
  if (hundredths > (MAX_TAG_MINUTES + 1) * 6000L - 1) hundredths = (MAX_TAG_MINUTES + 1) * 6000L - 1;
  std::snprintf(out, TIME_TAG_BYTES + 1, "[%02ld:%02ld.%02ld]", hundredths / 6000, hundredths / 100 % 60,
                hundredths % 100);
}

std::string TimedTwinName(const char *path) {
  return std::string(path, static_cast<size_t>(NameExtension(PathName(path)) - path)) + ".lrc";
}

bool TimedTwinPath(const char *path, char *out) {
  const std::string name = TimedTwinName(path);
  if (name.size() >= PATH_BYTES) return false;
  std::memcpy(out, name.c_str(), name.size() + 1);
  return true;
}

namespace {

// How a text's characters sit in its bytes: one byte each for the byte encodings (an
// LF byte is never part of another character in them), else a UTF-16 unit.
struct TextUnits {
  size_t width;  // 1 or 2
  bool bigEndian;
};

unsigned UnitAt(const std::string &text, const TextUnits &u, size_t at) {
  const unsigned char a = static_cast<unsigned char>(text[at]);
  if (u.width == 1) return a;
  const unsigned char b = static_cast<unsigned char>(text[at + 1]);
  return u.bigEndian ? (a << 8) | b : (b << 8) | a;
}

void AppendAscii(std::string *out, const TextUnits &u, const char *ascii) {
  for (const char *p = ascii; *p; ++p) {
    if (u.width == 2 && u.bigEndian) out->push_back('\0');
    out->push_back(*p);
    if (u.width == 2 && !u.bigEndian) out->push_back('\0');
  }
}

// The bytes of the line's leading time tags, read from its first characters as ASCII
// (any other character stands as 0x80, which no tag holds).
size_t LeadingTagBytes(const std::string &text, const TextUnits &u, size_t from, size_t end) {
  enum { HEAD = 32 * TIME_TAG_BYTES };
  char head[HEAD];
  int n = 0;
  for (size_t at = from; at + u.width <= end && n < HEAD; at += u.width) {
    const unsigned c = UnitAt(text, u, at);
    head[n++] = static_cast<char>(c < 0x80 ? c : 0x80);
  }
  int taken = 0;
  TimeTag tag;
  while (ReadTimeTag(head, n, taken, &tag) == TAG_LINE_TIME) taken = tag.end;
  return static_cast<size_t>(taken) * u.width;
}

}  // namespace

std::string RewriteTimedText(const std::string &text, const int *lines, const long *times, int count) {
  int markBytes = 0;
  const int encoding =
      DetectTextEncoding(reinterpret_cast<const unsigned char *>(text.data()), text.size(), &markBytes);
  const TextUnits u = {encoding == TEXT_UTF16_LE || encoding == TEXT_UTF16_BE ? 2u : 1u, encoding == TEXT_UTF16_BE};
  std::string out(text, 0, static_cast<size_t>(markBytes));
  out.reserve(text.size() + static_cast<size_t>(count) * (TIME_TAG_BYTES + 1) * u.width);
  int line = 0, stamp = 0;
  for (size_t at = static_cast<size_t>(markBytes); at < text.size(); ++line) {
    size_t end = at;
    while (end + u.width <= text.size() && UnitAt(text, u, end) != '\n') end += u.width;
    end = end + u.width <= text.size() ? end + u.width : text.size();  // the LF, or a stray last byte
    while (stamp < count && lines[stamp] < line) ++stamp;
    size_t from = at;
    if (stamp < count && lines[stamp] == line) {
      char tag[TIME_TAG_BYTES + 1];
      FormatLineTag(times[stamp], tag);
      AppendAscii(&out, u, tag);
      from += LeadingTagBytes(text, u, at, end);
    }
    out.append(text, from, end - from);
    at = end;
  }
  return out;
}
