#include "textview/textbuffer.h"

#include <cstring>

TextBufferRecord TextBuffer;
TextViewRecord TextView;

enum { ROW_LIMIT = ROW_BYTES - 1, END_OF_TEXT = 0x1A };

void ClearTextBuffer() {
  TextBuffer.lineCount = 0;
  TextBuffer.longest = 0;
}

// A byte reader with the text-mode rules of the C runtime made exact: the runtime's
// own text mode differs between libraries in how it treats CR and 0x1A.
struct TextByteReader {
  std::FILE *file;
  bool ended;
};

// Next byte of the text, or -1 at its end (end of file, 0x1A or a read error).
static int NextTextByte(TextByteReader *reader) {
  while (!reader->ended) {
    int c = std::fgetc(reader->file);
    if (c == EOF || c == END_OF_TEXT) {
      reader->ended = true;
      break;
    }
    if (c != '\r') return c;
  }
  return -1;
}

// One bounded line read into row: up to and including LF, at most 99 bytes. Returns
// false when no byte could be taken or the file reported an error.
static bool ReadRow(TextByteReader *reader, char *row) {
  int length = 0;
  while (length < ROW_LIMIT) {
    int c = NextTextByte(reader);
    if (c < 0) break;
    row[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  row[length] = '\0';
  if (std::ferror(reader->file)) return false;
  return length > 0;
}

void ReadTextRows(std::FILE *file) {
  TextByteReader reader = {file, false};
  while (TextBuffer.lineCount < TEXT_ROWS) {
    char *row = TextBuffer.rows[TextBuffer.lineCount];
    if (!ReadRow(&reader, row)) break;
    // Measured up to the first NUL: a NUL inside a line hides the rest of the row.
    int length = static_cast<int>(std::strlen(row));
    if (length >= 1 && row[length - 1] == '\n') row[--length] = '\0';
    if (length > TextBuffer.longest) TextBuffer.longest = length;
    TextBuffer.lineCount++;
  }
}

bool ReadTextFile(const char *path) {
  ClearTextBuffer();
  std::FILE *file = std::fopen(path, "rb");
  if (!file) return false;
  ReadTextRows(file);
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
