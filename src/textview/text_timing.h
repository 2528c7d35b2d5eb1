// Timing a text by tapping: the lines to stamp in the shown text, the stamps taken,
// what the view shows of them, and the text rewritten with its lines' new time tags.
// Portable.
#pragma once
#include <cstddef>
#include <string>

#include "shell/path_bytes.h"
#include "textview/textbuffer.h"

struct TimingRecord {
  bool on;
  bool shown;      // the text timed is the one in the TextBuffer (not after a song change)
  char path[PATH_BYTES];  // the text timed
  int lineCount;          // the lines to stamp, in text order: lines with text, no headers
  int lines[TEXT_ROWS];   // their text line numbers (TextBuffer.rowLines)
  short firstRows[TEXT_ROWS], rowCounts[TEXT_ROWS];
  long times[TEXT_ROWS];  // the stamps of lines[0..next), tag times in milliseconds
  int next;               // the line the next stamp goes to; lineCount when all are stamped
  long offset;            // the text's [offset:] header, which its tags are written for
  bool quitHeld;          // a quit was held once for stamps that could not be written
};

extern TimingRecord Timing;

// Starts timing the text now in the TextBuffer, read from path: false, with nothing
// changed, when it has no line to stamp.
bool StartTiming(const char *path);
// Stamps the next line with the song's time heard (ms) and shows it as the line being
// sung; gives false when no line was left.
bool StampLine(long heardMs);
// Takes the last stamp back; false when there was none.
bool TakeStampBack();
// Ends timing; the timed entries are those of the text as it was loaded, to be read anew.
void StopTiming();
// The rows of the line the next stamp goes to (rowCount 0 when none is left).
void TimingMarker(int *firstRow, int *rowCount);
bool IsTimingMarkerRow(int row);

extern const char TimingNoticeFormat[];  // "タイミング %d/%d"
void FormatTimingNotice(char *out, int size);

// The time tag written for ms, such as "[01:23.45]" (hundredths, rounded), into out
// (room for TIME_TAG_BYTES + 1).
void FormatLineTag(long ms, char *out);

// The timed text beside path: its name with the extension .lrc; into out (PATH_BYTES),
// false when the name would not fit.
std::string TimedTwinName(const char *path);
bool TimedTwinPath(const char *path, char *out);

// The bytes of a text with line stamped[i] given the time tag of times[i] (count lines,
// in text order): its leading time tags are replaced, or a tag is put before it. Every
// other byte stays: the encoding and its mark, line ends, headers, tags inside lines,
// unstamped lines. Lines are counted as the loader counts them, by LF.
std::string RewriteTimedText(const std::string &text, const int *lines, const long *times, int count);
