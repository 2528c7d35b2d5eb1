#include "textview/textbuffer.h"

#include <cstring>
#include <vector>

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
  PLACEHOLDER_LEAD = 0x81,   // "？": two bytes standing for a character 932 lacks
  PLACEHOLDER_TRAIL = 0x48,
};

// Where a byte of a UTF-8 or UTF-16 text came from: the code point it begins (-1 on
// the second byte of a character) and whether code page 932 lacks that character.
struct ByteOrigin {
  long codePoint;
  bool foreign;
};

// The text as code page 932 bytes with the text-mode rules applied; origins only for
// UTF-8 and UTF-16, one per byte.
struct DecodedText {
  std::vector<unsigned char> bytes;
  std::vector<ByteOrigin> origins;
  bool unicode;
};

int EncodeCodePoint(long codePoint, CodePage932Encoder encode, unsigned char *out) {
  if (codePoint < 0x80) {
    out[0] = static_cast<unsigned char>(codePoint);
    return 1;
  }
  return encode ? encode(codePoint, out) : 0;
}

void DecodeText(const unsigned char *in, size_t size, CodePage932Encoder encode, DecodedText *out) {
  TextDecoder decoder;
  StartTextDecoder(&decoder, in, size);
  out->unicode = decoder.encoding != TEXT_SHIFT_JIS;
  out->bytes.reserve(size);
  for (long c; (c = NextCodePoint(&decoder)) >= 0;) {
    // The same rules as for Shift-JIS, so a twin in either encoding gives the same rows.
    if (c == END_OF_TEXT) break;
    if (c == '\r') continue;
    if (!out->unicode) {
      out->bytes.push_back(static_cast<unsigned char>(c));
      continue;
    }
    unsigned char encoded[2];
    int n = EncodeCodePoint(c, encode, encoded);
    const bool foreign = n < 1 || n > 2;
    if (foreign) {
      encoded[0] = PLACEHOLDER_LEAD;
      encoded[1] = PLACEHOLDER_TRAIL;
      n = 2;
    }
    for (int i = 0; i < n; ++i) {
      out->bytes.push_back(encoded[i]);
      out->origins.push_back(ByteOrigin{i == 0 ? c : -1, foreign});
    }
  }
}

size_t LineEnd(const char *text, size_t size, size_t at) {
  while (at < size && text[at] != '\n') ++at;
  return at;
}

// Some line of the text begins with a time tag.
bool HasTimedLine(const char *text, size_t size) {
  for (size_t at = 0; at < size;) {
    size_t end = LineEnd(text, size, at);
    long ms;
    if (ParseTimeTag(text + at, static_cast<int>(end - at), &ms)) return true;
    at = end + 1;
  }
  return false;
}

// At the start of a line of a timed text: passes over header lines (noting an
// offset) and then the time tags of the next line, whose times go to times.
size_t SkipTagsOfLine(const char *text, size_t size, size_t at, long *times, int *count) {
  *count = 0;
  while (at < size) {
    size_t end = LineEnd(text, size, at);
    const int length = static_cast<int>(end - at);
    if (!IsHeaderLine(text + at, length))
      return at + LeadingTimeTags(text + at, length, times, TAGS_PER_LINE, count);
    long offset;
    if (ReadOffsetHeader(text + at, length, &offset)) TimedText.offset = offset;
    at = end < size ? end + 1 : end;
  }
  return at;
}

// Keeps the UTF-16 of a row that holds a character code page 932 lacks (or a part of
// one): the row is drawn from it. A character cut by the end of a row is drawn whole
// on the row where it begins.
void KeepWideRow(const DecodedText &text, int row, size_t start, int length) {
  TextBuffer.wideUnits[row] = 0;
  if (!text.unicode) return;
  const ByteOrigin *origins = text.origins.data() + start;
  bool foreign = false;
  for (int i = 0; i < length && !foreign; ++i) foreign = origins[i].foreign;
  if (!foreign) return;
  int units = 0;
  for (int i = 0; i < length; ++i)
    if (origins[i].codePoint >= 0) units += CodePointToUtf16(origins[i].codePoint, TextBuffer.wide[row] + units);
  TextBuffer.wideUnits[row] = static_cast<short>(units);
}

// The bounded line read of the text-mode runtime over the decoded bytes: up to and
// including LF, at most 99 bytes to a row.
void BuildRows(const DecodedText &decoded) {
  const char *text = reinterpret_cast<const char *>(decoded.bytes.data());
  const size_t size = decoded.bytes.size();
  const bool timed = HasTimedLine(text, size);
  long times[TAGS_PER_LINE];
  int timeCount = 0, lineFirstRow = 0;
  bool lineStart = true;
  size_t at = 0;
  while (TextBuffer.lineCount < TEXT_ROWS) {
    if (timed && lineStart) {
      at = SkipTagsOfLine(text, size, at, times, &timeCount);
      lineFirstRow = TextBuffer.lineCount;
    }
    char *row = TextBuffer.rows[TextBuffer.lineCount];
    const size_t rowStart = at;
    int length = 0;
    while (length < ROW_LIMIT && at < size) {
      const char c = text[at++];
      row[length++] = c;
      if (c == '\n') break;
    }
    row[length] = '\0';
    // A last line of tags alone, without its LF, is still a (blank) sung line.
    if (length == 0 && !timeCount) break;
    lineStart = length == 0 || row[length - 1] == '\n';
    // Measured up to the first NUL: a NUL inside a line hides the rest of the row.
    length = static_cast<int>(std::strlen(row));
    if (length >= 1 && row[length - 1] == '\n') row[--length] = '\0';
    if (length > TextBuffer.longest) TextBuffer.longest = length;
    KeepWideRow(decoded, TextBuffer.lineCount, rowStart, length);
    TextBuffer.lineCount++;
    if (timeCount && (lineStart || at >= size || TextBuffer.lineCount == TEXT_ROWS)) {
      AddTimedLine(times, timeCount, lineFirstRow, TextBuffer.lineCount - lineFirstRow);
      timeCount = 0;
    }
  }
  TimedText.timed = timed;
  FinishTimedText();
}

}  // namespace

void ReadTextBytes(const unsigned char *bytes, size_t size, CodePage932Encoder encode) {
  ClearTextBuffer();
  DecodedText decoded;
  DecodeText(bytes, size, encode, &decoded);
  BuildRows(decoded);
}

void ReadTextRows(std::FILE *file, CodePage932Encoder encode) {
  std::vector<unsigned char> bytes;
  unsigned char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
  if (std::ferror(file)) {
    // The line being read when the error came does not count.
    size_t keep = bytes.size();
    while (keep > 0 && bytes[keep - 1] != '\n') --keep;
    bytes.resize(keep);
  }
  ReadTextBytes(bytes.data(), bytes.size(), encode);
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
