#include "textview/textbuffer.h"

#include <cstring>

#include "base/bytes.h"
#include "textview/text_encoding.h"
#include "textview/timed_text.h"

TextBufferRecord TextBuffer;

enum { ROW_LIMIT = ROW_BYTES - 1, END_OF_TEXT = 0x1A };

void ClearTextBuffer() {
  TextBuffer.lineCount = 0;
  TextBuffer.longest = 0;
  ClearTimedText();
}

namespace {

enum {
  TAGS_PER_LINE = 32,
  WORDS_PER_LINE = 256,  // word tags kept of a line; more are taken out and not kept
  HEAD_BYTES = TEXT_ROWS * ROW_LIMIT,  // a line that may be a header: room for all rows
  PLACEHOLDER_LEAD = 0x81,   // "？": two bytes standing for a character 932 lacks
  PLACEHOLDER_TRAIL = 0x48,
};

// Where a byte of a UTF-8 or UTF-16 text came from: the code point it begins, or
// SECOND on the second byte of a character; FOREIGN when code page 932 lacks it.
typedef unsigned Origin;
const Origin ORIGIN_SECOND = 1u << 30, ORIGIN_FOREIGN = 1u << 29, ORIGIN_POINT = (1u << 21) - 1;

// Whether some line of a text begins with a time tag, from the characters of its
// first part. Only ASCII can make a tag, so every other character stands as 0x80.
struct TimedLineScan {
  TextDecoder decoder;
  bool started;
  bool inHead;         // the characters go to the start of a line
  char head[TIME_TAG_BYTES];
  int headCount;
  bool over;           // 0x1A met: the text ends there
  bool timed;
};

void CheckLineHead(TimedLineScan *scan) {
  TimeTag tag;
  if (ReadTimeTag(scan->head, scan->headCount, 0, &tag) == TAG_LINE_TIME) scan->timed = true;
  scan->inHead = false;
}

void ScanTimedLines(TimedLineScan *scan, const unsigned char *at, const unsigned char *end, bool last) {
  for (long c; !scan->over && !scan->timed && (c = NextCodePoint(&scan->decoder, &at, end, last)) >= 0;) {
    if (c == END_OF_TEXT) {
      scan->over = true;
      break;
    }
    if (c == '\r') continue;
    if (c == '\n') {
      if (scan->inHead) CheckLineHead(scan);
      scan->inHead = true;
      scan->headCount = 0;
      continue;
    }
    if (!scan->inHead) continue;
    scan->head[scan->headCount++] = static_cast<char>(c < 0x80 ? c : 0x80);
    if (scan->headCount == TIME_TAG_BYTES) CheckLineHead(scan);
  }
  if (last && scan->inHead && !scan->timed) CheckLineHead(scan);
}

// The rows of a text built a byte at a time, as the bounded line read of the
// text-mode runtime would cut them: up to and including LF, at most 99 bytes a row.
// At the start of each line of a timed text its head is held back until it is known
// whether it is a header line (passed over, noting an offset) or how many time tags
// it begins with.
struct RowBuilder {
  bool timed, unicode, full;
  int length;  // bytes of the row being built, in TextBuffer.rows[lineCount]
  Origin origins[ROW_LIMIT];
  bool inHead;
  int headCount;
  bool candidate;     // the head begins with a header's name: held to the line's end
  bool overflow;      // a candidate longer than the head's room
  char lastNonBlank;    // of an overflow: the line's last byte that is not blank
  char firstAfterHead;  // of an overflow: the first byte not held that is not blank
  long times[TAGS_PER_LINE];
  int timeCount, lineFirstRow;
  // Of a sung line (one that began with time tags): the time tags inside it are word
  // tags, taken out of the rows with the byte of the shown line each stands before.
  int lineBytes;    // bytes of the line shown so far
  bool secondByte;  // the next byte is a character's second byte, never a tag's start
  char held[TIME_TAG_BYTES];  // what may be a tag, until it is known
  Origin heldOrigins[TIME_TAG_BYTES];
  int heldCount;
  long wordTimes[WORDS_PER_LINE];
  short wordAt[WORDS_PER_LINE];
  int wordCount;
  int line;  // the text's line the bytes come from; a row never holds two
};

struct HeadRecord {
  char bytes[HEAD_BYTES + 1];
  Origin origins[HEAD_BYTES];
};

RowBuilder Rows;
HeadRecord Head;
unsigned char Chunk[TEXT_CHUNK_BYTES];

void StartHead() {
  Rows.inHead = true;
  Rows.headCount = 0;
  Rows.candidate = false;
  Rows.overflow = false;
  Rows.lastNonBlank = 0;
  Rows.firstAfterHead = 0;
}

// Keeps the UTF-16 of a row that holds a character code page 932 lacks (or a part of
// one): the row is drawn from it. A character cut by the end of a row is drawn whole
// on the row where it begins.
void KeepWideRow(int row, int length) {
  TextBuffer.wideUnits[row] = 0;
  if (!Rows.unicode) return;
  bool foreign = false;
  for (int i = 0; i < length && !foreign; ++i) foreign = (Rows.origins[i] & ORIGIN_FOREIGN) != 0;
  if (!foreign) return;
  int units = 0;
  for (int i = 0; i < length; ++i)
    if (!(Rows.origins[i] & ORIGIN_SECOND))
      units += CodePointToUtf16(static_cast<long>(Rows.origins[i] & ORIGIN_POINT), TextBuffer.wide[row] + units);
  TextBuffer.wideUnits[row] = static_cast<short>(units);
}

void AddPendingTimedLine() {
  if (!Rows.timeCount) return;
  const LineWords words = {Rows.wordTimes, Rows.wordAt, Rows.wordCount, Rows.lineBytes};
  AddTimedLine(Rows.times, Rows.timeCount, Rows.lineFirstRow, TextBuffer.lineCount - Rows.lineFirstRow, &words);
  Rows.timeCount = 0;
  Rows.wordCount = 0;
}

void FinishRow() {
  char *row = TextBuffer.rows[TextBuffer.lineCount];
  row[Rows.length] = '\0';
  const bool lineEnds = Rows.length == 0 || row[Rows.length - 1] == '\n';
  // Measured up to the first NUL: a NUL inside a line hides the rest of the row.
  int length = static_cast<int>(std::strlen(row));
  if (length >= 1 && row[length - 1] == '\n') row[--length] = '\0';
  if (length > TextBuffer.longest) TextBuffer.longest = length;
  KeepWideRow(TextBuffer.lineCount, length);
  TextBuffer.rowLines[TextBuffer.lineCount] = Rows.line;
  TextBuffer.lineCount++;
  Rows.length = 0;
  if (lineEnds || TextBuffer.lineCount == TEXT_ROWS) AddPendingTimedLine();
  Rows.full = TextBuffer.lineCount == TEXT_ROWS;
  if (lineEnds && Rows.timed) StartHead();
}

void RowByte(char c, Origin origin) {
  TextBuffer.rows[TextBuffer.lineCount][Rows.length] = c;
  Rows.origins[Rows.length++] = origin;
  if (c == '\n' || Rows.length == ROW_LIMIT) FinishRow();
}

void WordByte(char c, Origin origin);

// A byte of a sung line that is shown.
void ShownByte(char c, Origin origin) {
  Rows.secondByte = !Rows.secondByte && IsLeadRangeByte(static_cast<unsigned char>(c));
  if (c != '\n') Rows.lineBytes++;
  RowByte(c, origin);
}

// Settles what is held: a time tag leaves the line as a word tag, anything else
// shows its first byte; the bytes after are scanned again, as they may begin a tag.
// At the text's end (complete) a tag cut short is text.
void ResolveHeld(bool complete) {
  while (Rows.heldCount && !Rows.full) {
    TimeTag tag;
    const TimeTagKind kind = ReadTimeTag(Rows.held, Rows.heldCount, 0, &tag);
    if (kind == TAG_MORE && !complete && Rows.heldCount < TIME_TAG_BYTES) return;
    int taken = 1;
    if (kind == TAG_LINE_TIME || kind == TAG_ANGLE_TIME || kind == TAG_COLON_TIME) {
      if (Rows.wordCount < WORDS_PER_LINE) {
        Rows.wordTimes[Rows.wordCount] = tag.ms;
        Rows.wordAt[Rows.wordCount++] = static_cast<short>(Rows.lineBytes);
      }
      taken = tag.end;
    } else {
      ShownByte(Rows.held[0], Rows.heldOrigins[0]);
    }
    char rest[TIME_TAG_BYTES];
    Origin restOrigins[TIME_TAG_BYTES];
    const int restCount = Rows.heldCount - taken;
    std::memcpy(rest, Rows.held + taken, static_cast<size_t>(restCount));
    std::memcpy(restOrigins, Rows.heldOrigins + taken, static_cast<size_t>(restCount) * sizeof(Origin));
    Rows.heldCount = 0;
    for (int i = 0; i < restCount && !Rows.full; ++i) WordByte(rest[i], restOrigins[i]);
    if (!complete) return;
  }
}

// A byte of a sung line: a bracket that begins a character may begin a word tag.
void WordByte(char c, Origin origin) {
  if (!Rows.heldCount && (Rows.secondByte || (c != '[' && c != '<'))) return ShownByte(c, origin);
  Rows.held[Rows.heldCount] = c;
  Rows.heldOrigins[Rows.heldCount++] = origin;
  ResolveHeld(false);
}

// What the head holds goes to the rows: the line is text from there on, and of a sung
// line the word tags are looked for from its first shown byte.
void ReleaseHead() {
  Rows.inHead = false;
  Rows.lineFirstRow = TextBuffer.lineCount;
  Rows.lineBytes = 0;
  Rows.secondByte = false;
  Rows.heldCount = 0;
  Rows.wordCount = 0;
  for (int i = 0; i < Rows.headCount && !Rows.full; ++i) {
    if (Rows.timeCount) WordByte(Head.bytes[i], Head.origins[i]);
    else RowByte(Head.bytes[i], Head.origins[i]);
  }
}

char LastNonBlank(const char *bytes, int length) {
  while (length > 0 && IsBlank(bytes[length - 1])) --length;
  return length > 0 ? bytes[length - 1] : 0;
}

// A header line ends: passed over, an offset noted. Anything else is text. Of a line
// too long to hold, the value is read from what is held and the first byte after it
// that is not blank.
void EndCandidate(int lineBytes) {
  const char last = Rows.overflow ? Rows.lastNonBlank : LastNonBlank(Head.bytes, lineBytes);
  if (Rows.overflow) {
    Head.bytes[HEAD_BYTES] = Rows.firstAfterHead;
    lineBytes = HEAD_BYTES + 1;
  }
  TimeTag tag;
  const TimeTagKind kind = ReadTimeTag(Head.bytes, lineBytes, 0, &tag);
  const bool header = (kind == TAG_HEADER || kind == TAG_OFFSET) && last == ']';
  if (header && kind == TAG_OFFSET) TimedText.offset = tag.ms;
  if (header) StartHead();
  else ReleaseHead();
}

// What the head of a line begins with, as soon as a whole tag (or the line's end) is
// in: its time tags are taken one by one, then the rest goes to the rows, unless the
// line begins with a header's name. The line is complete when its LF, the last byte
// held, or the end of the text is in.
void TakeHeadTags(bool complete, bool lineFeed) {
  for (;;) {
    const int lineBytes = Rows.headCount - (lineFeed ? 1 : 0);
    if (!complete && lineBytes < TIME_TAG_BYTES) return;  // wait for more of the line
    TimeTag tag;
    const TimeTagKind kind = ReadTimeTag(Head.bytes, lineBytes, 0, &tag);
    if (kind == TAG_LINE_TIME) {
      if (Rows.timeCount < TAGS_PER_LINE) Rows.times[Rows.timeCount++] = tag.ms;
      Rows.headCount -= tag.end;
      std::memmove(Head.bytes, Head.bytes + tag.end, static_cast<size_t>(Rows.headCount));
      std::memmove(Head.origins, Head.origins + tag.end, static_cast<size_t>(Rows.headCount) * sizeof(Origin));
      continue;
    }
    // Past a whole tag's length, more to come means a header's name still going.
    const bool name = kind == TAG_HEADER || kind == TAG_OFFSET || (kind == TAG_MORE && !complete);
    if (!name || Rows.timeCount) break;
    if (complete) return EndCandidate(lineBytes);
    Rows.candidate = true;
    return;
  }
  ReleaseHead();
}

// A byte of a candidate beyond the head's room; false when the line turned out to be
// text. Out of room, no header's name (or one that does not end within the room) is
// text, and what is held fills every row left.
bool FollowOverflow(char c, bool lineEnded) {
  if (!Rows.overflow) {
    Rows.overflow = true;
    TimeTag tag;
    const TimeTagKind kind = ReadTimeTag(Head.bytes, HEAD_BYTES, 0, &tag);
    if (kind != TAG_HEADER && kind != TAG_OFFSET) {
      ReleaseHead();
      return false;
    }
    Rows.lastNonBlank = LastNonBlank(Head.bytes, HEAD_BYTES);
  }
  if (!lineEnded && !IsBlank(c)) {
    if (!Rows.firstAfterHead) Rows.firstAfterHead = c;
    Rows.lastNonBlank = c;
  }
  return true;
}

void HeadByte(char c, Origin origin) {
  const bool lineEnded = c == '\n';
  if (Rows.headCount < HEAD_BYTES) {
    Head.bytes[Rows.headCount] = c;
    Head.origins[Rows.headCount++] = origin;
  } else if (!FollowOverflow(c, lineEnded)) {
    return;
  }
  if (!Rows.candidate) return TakeHeadTags(lineEnded, lineEnded);
  if (lineEnded) EndCandidate(Rows.headCount - 1);
}

void PushByte(char c, Origin origin) {
  if (Rows.inHead) HeadByte(c, origin);
  else if (Rows.timeCount) WordByte(c, origin);
  else RowByte(c, origin);
  if (c == '\n') Rows.line++;  // after the line's last byte, which a held head may release
}

// The end of the text: the line in hand ends there.
void FinishRows(bool failed) {
  if (!failed && Rows.inHead && !Rows.full) {
    if (Rows.candidate) EndCandidate(Rows.headCount);
    else TakeHeadTags(true, false);
  }
  if (!failed && !Rows.inHead && Rows.timeCount) ResolveHeld(true);
  if (failed) Rows.length = 0;  // the row the error came in does not count
  // A last line of tags alone, without its LF, is still a (blank) sung line.
  if (!Rows.full && (Rows.length > 0 || (Rows.timeCount && Rows.lineFirstRow == TextBuffer.lineCount && !failed)))
    FinishRow();
  AddPendingTimedLine();
}

// One character of the text, the text-mode rules applied; false at the end of text.
bool TakeCharacter(long c, CodePage932Encoder encode) {
  // The same rules as for Shift-JIS, so a twin in either encoding gives the same rows.
  if (c == END_OF_TEXT) return false;
  if (c == '\r') return true;
  if (!Rows.unicode) {
    PushByte(static_cast<char>(c), 0);
    return true;
  }
  unsigned char encoded[2];
  int n = 0;
  if (c < 0x80) {
    encoded[0] = static_cast<unsigned char>(c);
    n = 1;
  } else if (encode) {
    n = encode(c, encoded);
  }
  const Origin foreign = n < 1 || n > 2 ? ORIGIN_FOREIGN : 0;
  if (foreign) {
    encoded[0] = PLACEHOLDER_LEAD;
    encoded[1] = PLACEHOLDER_TRAIL;
    n = 2;
  }
  PushByte(static_cast<char>(encoded[0]), static_cast<Origin>(c) | foreign);
  if (n == 2 && !Rows.full) PushByte(static_cast<char>(encoded[1]), ORIGIN_SECOND | foreign);
  return true;
}

struct TextDecision {
  int encoding, markBytes;
  bool timed;
};

// Starts the search for time tags once the mark is known: the lines begin after it.
// The bytes the mark was looked for in come first.
void StartTimedLineScan(TimedLineScan *scan, const EncodingDetector &detector, int encoding, int markBytes) {
  const bool wide = encoding == TEXT_UTF16_LE || encoding == TEXT_UTF16_BE;
  StartTextDecoder(&scan->decoder, wide ? encoding : TEXT_SHIFT_JIS, markBytes);
  scan->started = scan->inHead = true;
  ScanTimedLines(scan, detector.first, detector.first + detector.firstCount, false);
}

// The first limit bytes of the text decide its encoding and whether it is timed; then
// the source goes back to its start.
bool DecideText(const TextSource &source, size_t chunkBytes, size_t limit, TextDecision *decision) {
  EncodingDetector detector;
  StartEncodingDetector(&detector);
  TimedLineScan scan = {};
  bool whole = false;
  for (size_t seen = 0; seen < limit;) {
    bool failed = false;
    size_t want = limit - seen < chunkBytes ? limit - seen : chunkBytes;
    const size_t n = source.read(source.context, Chunk, want, &failed);
    if (n == 0) {
      whole = true;  // the end, or an error that ends the text there
      break;
    }
    FeedEncodingDetector(&detector, Chunk, n);
    size_t from = 0;
    if (!scan.started && detector.encoding >= 0) {
      StartTimedLineScan(&scan, detector, detector.encoding, detector.markBytes);
      from = static_cast<size_t>(detector.firstCount) - seen;  // this piece's part of them
    }
    if (scan.started) ScanTimedLines(&scan, Chunk + from, Chunk + n, false);
    seen += n;
    // Settled both ways: nothing further can change either answer.
    if (scan.timed && (detector.markBytes || detector.utf8.malformed)) break;
  }
  decision->encoding = FinishEncodingDetector(&detector, whole, &decision->markBytes);
  if (!scan.started) StartTimedLineScan(&scan, detector, decision->encoding, decision->markBytes);
  ScanTimedLines(&scan, nullptr, nullptr, true);
  decision->timed = scan.timed;
  return source.rewind(source.context);
}

struct MemoryText {
  const unsigned char *bytes;
  size_t size, at;
};

size_t ReadMemory(void *context, unsigned char *buffer, size_t size, bool *) {
  MemoryText *text = static_cast<MemoryText *>(context);
  const size_t n = text->size - text->at < size ? text->size - text->at : size;
  if (n) std::memcpy(buffer, text->bytes + text->at, n);
  text->at += n;
  return n;
}

bool RewindMemory(void *context) {
  static_cast<MemoryText *>(context)->at = 0;
  return true;
}

size_t ReadStream(void *context, unsigned char *buffer, size_t size, bool *failed) {
  std::FILE *file = static_cast<std::FILE *>(context);
  const size_t n = std::fread(buffer, 1, size, file);
  if (n == 0 && std::ferror(file)) *failed = true;
  return n;
}

bool RewindStream(void *context) {
  std::FILE *file = static_cast<std::FILE *>(context);
  std::clearerr(file);
  return std::fseek(file, 0, SEEK_SET) == 0;
}

}  // namespace

void ReadTextSource(const TextSource &source, CodePage932Encoder encode, size_t chunkBytes) {
  ClearTextBuffer();
  if (chunkBytes < 1 || chunkBytes > TEXT_CHUNK_BYTES) chunkBytes = TEXT_CHUNK_BYTES;
  TextDecision decision;
  if (!DecideText(source, chunkBytes, TEXT_DETECT_BYTES, &decision)) return;
  TextDecoder decoder;
  StartTextDecoder(&decoder, decision.encoding, decision.markBytes);
  Rows = RowBuilder{};
  Rows.timed = decision.timed;
  Rows.unicode = decision.encoding != TEXT_SHIFT_JIS;
  if (Rows.timed) StartHead();
  bool failed = false, over = false;
  while (!Rows.full && !over) {
    const size_t n = source.read(source.context, Chunk, chunkBytes, &failed);
    const unsigned char *at = Chunk;
    for (long c; !Rows.full && !over && (c = NextCodePoint(&decoder, &at, Chunk + n, n == 0)) >= 0;)
      if (!TakeCharacter(c, encode)) over = true;
    if (n == 0) break;
  }
  if (!Rows.full) FinishRows(failed && !over);
  TimedText.timed = decision.timed;
  FinishTimedText();
}

void ReadTextBytes(const unsigned char *bytes, size_t size, CodePage932Encoder encode, size_t chunkBytes) {
  MemoryText text = {bytes, size, 0};
  ReadTextSource(TextSource{ReadMemory, RewindMemory, &text}, encode, chunkBytes);
}

void ReadTextRows(std::FILE *file, CodePage932Encoder encode) {
  ReadTextSource(TextSource{ReadStream, RewindStream, file}, encode);
}

static bool StayPut(void *) { return true; }

bool TextFileIsTimed(const char *path) {
  std::FILE *file = std::fopen(path, "rb");
  if (!file) return false;
  TextDecision decision;
  DecideText(TextSource{ReadStream, StayPut, file}, TEXT_CHUNK_BYTES, TIMED_CHECK_BYTES, &decision);
  std::fclose(file);
  return decision.timed;
}

bool ReadTextFile(const char *path, CodePage932Encoder encode) {
  ClearTextBuffer();
  std::FILE *file = std::fopen(path, "rb");
  if (!file) return false;
  ReadTextRows(file, encode);
  std::fclose(file);
  return true;
}

// The integer form equals width x 1.9 / longest evaluated in extended precision with
// the double nearest 1.9 (a little below it) over widths 0..65535 and longest 1..99:
// exact whole quotients come out one less, as they do there.
int FontHeightFor(int viewWidth, int longest) {
  if (longest == 0) return 0;
  return (19 * viewWidth - 1) / (10 * longest);
}

int UpdateLineMetrics() {
  int fontHeight = FontHeightFor(TextView.viewWidth, TextBuffer.longest);
  int pitch = TextBuffer.lineCount != 0 ? TextView.viewHeight / TextBuffer.lineCount : 0;
  if (pitch < fontHeight + 2) pitch = fontHeight + 2;
  // The upper bound last: it wins when the two cross (height 1 gives 2, 0 gives 0).
  if (pitch > 2 * fontHeight) pitch = 2 * fontHeight;
  TextView.linePitch = pitch;
  return fontHeight;
}

void RecomputeScrollRange() {
  int scrollMax = TextBuffer.lineCount * TextView.linePitch - TextView.viewHeight;
  TextView.scrollMax = scrollMax < 0 ? 0 : scrollMax;
  if (TextView.scrollPos > TextView.scrollMax) TextView.scrollPos = TextView.scrollMax;
}

int ScrollStepFor(int code, int pos) {
  int page = TextView.viewHeight / 4;
  if (page < 1) page = 1;
  long long step = 0;  // a thumb position far outside the range must not overflow
  switch (code) {
    case SCROLL_LINE_UP: step = -1; break;
    case SCROLL_LINE_DOWN: step = 1; break;
    case SCROLL_PAGE_UP: step = -page; break;
    case SCROLL_PAGE_DOWN: step = page; break;
    case SCROLL_THUMB_TRACK: step = static_cast<long long>(pos) - TextView.scrollPos; break;
    case SCROLL_TOP: step = -TextView.scrollPos; break;
    case SCROLL_BOTTOM: step = TextView.scrollMax - TextView.scrollPos; break;
    default: break;  // thumb released, end of scroll and unknown codes
  }
  int room = TextView.scrollMax - TextView.scrollPos;
  if (step > room) step = room;
  if (step < -TextView.scrollPos) step = -TextView.scrollPos;
  return static_cast<int>(step);
}
