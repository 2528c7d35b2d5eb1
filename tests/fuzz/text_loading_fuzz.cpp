// Text loading from fuzzed file contents, read in pieces of a fuzzed size: the rows
// and time tags are those of a read in one piece, whatever the piece edges cut (a
// mark, a multi-byte character, a CR LF, a surrogate pair, a time tag, a header line);
// rows stay within the buffer, the longest row is measured as the view needs it, and
// the font and scroll rules that follow stay in their ranges. The tag reader, at every
// place of the bytes, ends a tag within them and a time tag within its longest form.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "native/text_facts.h"
#include "textview/textbuffer.h"
#include "textview/timed_text.h"

// A stand-in table for code page 932: some characters it has (as one or two bytes),
// others it lacks, so both roads of a UTF-8 or UTF-16 text are taken.
static int FuzzEncoder(long codePoint, unsigned char *out) {
  if (codePoint % 3 == 0) return 0;
  if (codePoint >= 0xFF61 && codePoint <= 0xFF9F) {
    out[0] = static_cast<unsigned char>(codePoint - 0xFF61 + 0xA1);
    return 1;
  }
  out[0] = static_cast<unsigned char>(0x81 + codePoint % 0x1F);
  out[1] = static_cast<unsigned char>(0x40 + codePoint % 0x3F);
  return 2;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzInput in = {data, size};
  const int width = TakeByte(&in) * 16, height = TakeByte(&in) * 8;
  // From the bytes taken already, so the seeds keep their meaning.
  const size_t piece = static_cast<size_t>(width / 16 + height / 8) % 16 + 1;
  // The contents as a file opened in binary mode, as the loading reads it.
  std::FILE *file = fmemopen(const_cast<uint8_t *>(in.size ? in.data : data), in.size, "rb");
  ClearTextBuffer();
  if (in.size) {
    if (!file) return 0;
    ReadTextRows(file, FuzzEncoder);
    std::fclose(file);
  }
  const std::vector<long> whole = LoadedTextFacts();
  ReadTextBytes(in.data, in.size, FuzzEncoder, piece);
  FUZZ_CHECK(LoadedTextFacts() == whole);
  FUZZ_CHECK(TextBuffer.lineCount >= 0 && TextBuffer.lineCount <= TEXT_ROWS);
  int longest = 0;
  for (int i = 0; i < TextBuffer.lineCount; ++i) {
    const int length = static_cast<int>(strnlen(TextBuffer.rows[i], ROW_BYTES));
    FUZZ_CHECK(length < ROW_BYTES);
    FUZZ_CHECK(std::memchr(TextBuffer.rows[i], '\n', length) == nullptr);
    if (length > longest) longest = length;
  }
  FUZZ_CHECK(longest == TextBuffer.longest);
  // No bytes, no rows; bytes before an end-of-text mark make at least one. A byte-order
  // mark is no text of its own, so what follows it decides.
  const bool marked = (in.size >= 3 && !std::memcmp(in.data, "\xEF\xBB\xBF", 3)) ||
                      (in.size >= 2 && (!std::memcmp(in.data, "\xFF\xFE", 2) || !std::memcmp(in.data, "\xFE\xFF", 2)));
  if (in.size && !marked && in.data[0] != 0x1A && in.data[0] != '\r') FUZZ_CHECK(TextBuffer.lineCount >= 1);

  const int length = static_cast<int>(in.size < 4096 ? in.size : 4096);
  for (int at = 0; at < length; ++at) {
    TimeTag tag;
    const TimeTagKind kind = ReadTimeTag(reinterpret_cast<const char *>(in.data), length, at, &tag);
    if (kind == TAG_NONE || kind == TAG_MORE) continue;
    FUZZ_CHECK(tag.end > at && tag.end <= length);
    if (kind != TAG_HEADER && kind != TAG_OFFSET) FUZZ_CHECK(tag.end - at <= TIME_TAG_BYTES);
  }

  TextView.viewWidth = width;
  TextView.viewHeight = height;
  TextView.scrollPos = TakeByte(&in) * 97;
  const int fontHeight = UpdateLineMetrics();
  FUZZ_CHECK(fontHeight >= 0);
  FUZZ_CHECK(TextView.linePitch >= 0 && TextView.linePitch <= 2 * fontHeight);
  RecomputeScrollRange();
  FUZZ_CHECK(TextView.scrollMax >= 0 && TextView.scrollPos >= 0 && TextView.scrollPos <= TextView.scrollMax);
  for (int code = SCROLL_LINE_UP; code <= SCROLL_BOTTOM; ++code) {
    const int step = ScrollStepFor(code, width * 1000 - 7);
    FUZZ_CHECK(TextView.scrollPos + step >= 0 && TextView.scrollPos + step <= TextView.scrollMax);
  }
  return 0;
}
