// Timed texts: lines that begin with time tags such as [01:23.45], and the rule that
// marks the line being sung and keeps it in the upper part of the view. Portable.
#pragma once

enum { TIMED_ENTRIES = 1000 };  // tags kept; a line with several tags has one each

struct TimedEntry {
  long time;      // milliseconds into the song, the offsets applied
  short firstRow; // TextBuffer row where the line begins
  short rowCount; // rows the line fills (a long line is cut into several)
  long tagTime;   // the tag's own time
  short order;    // the tag's place in the text, which orders equal times
};

struct TimedTextRecord {
  bool timed;     // some line of the text begins with a time tag
  long offset;    // the [offset:] header, milliseconds; positive shows lines sooner
  int entryCount;
  TimedEntry entries[TIMED_ENTRIES];  // by time; equal times in row order
  int marked;     // entry drawn marked, -1 for none
};

extern TimedTextRecord TimedText;

// The listener's own shift of the song's lyrics, milliseconds, added to the text's
// [offset:]: positive shows the lines sooner. Kept across loads of the text.
extern long LyricsOffset;
enum { LYRICS_OFFSET_STEP = 100, LYRICS_OFFSET_HELD = 60000 };
// Takes a new shift and moves every line's time by it; the marked entry stays marked.
void ShiftLyrics(long offset);
// The shift moved by steps of LYRICS_OFFSET_STEP, held within a minute either way.
long StepLyricsOffset(long offset, int steps);
extern const char LyricsNoticeFormat[];  // "歌詞 %c%ld.%ld秒"
// The notice for a shift, such as "歌詞 +0.3秒", into out.
void FormatLyricsNotice(long offset, char *out, int size);

// The entry of the timed line that TextBuffer row belongs to, -1 for a row of no timed
// line: the marked entry when it is that line's, else the line's earliest.
int TimedEntryOfRow(int row);
// The time of the next line after entry, one with a later time; -1 when none follows.
long NextLineTime(int entry);

// What the bytes at a place in a line read as: the one reader of time tags, header
// names and the [offset:] value, at a line's start or anywhere inside it. Minutes have
// 1 to 3 digits, seconds 1 or 2 below 60, a fraction 1 to 3 digits.
enum TimeTagKind {
  TAG_NONE,        // text
  TAG_MORE,        // the bytes end before it is known what they begin
  TAG_LINE_TIME,   // [m:s] or [m:s.f]; at a line's start, the line's time
  TAG_ANGLE_TIME,  // <m:s> or <m:s.f>
  TAG_COLON_TIME,  // [m:s:f]
  TAG_HEADER,      // "[" letters ":": a header's name; the line is a header when its
                   // last byte that is not blank is "]"
  TAG_OFFSET,      // a header [offset: +/-ms ] whose value reads, "]" included
};
enum { TIME_TAG_BYTES = 12 };  // the longest time tag, [mmm:ss.fff]

struct TimeTag {
  int end;  // the index after the tag (after the ':' of a header's name)
  long ms;  // a time tag's time, or the offset's value
};

// Reads what begins at line[at], line[0..length) being the bytes known.
TimeTagKind ReadTimeTag(const char *line, int length, int at, TimeTag *tag);
// The length of a line's time tag [m:s] or [m:s.f] at line[0], its time in *ms; 0 for
// none.
int ParseTimeTag(const char *line, int length, long *ms);

// Forgets the tags; the text counts as untimed until a tag is added.
void ClearTimedText();
// Adds a line's tag times (before the offset) for the rows it filled.
void AddTimedLine(const long *times, int count, int firstRow, int rowCount);
// Applies the offset and orders the entries by time, after the last line.
void FinishTimedText();

// The entry whose time has come at ms: the last one at or before it, -1 for none.
int TimedEntryAt(long ms);
// Whether a TextBuffer row belongs to the marked line.
bool IsMarkedRow(int row);
// The scroll position that puts the top of row a quarter of the way down the view,
// within 0..scrollMax.
int FollowScrollTarget(int row);

struct FollowChange {
  int oldEntry;   // the entry marked before, -1 for none
  int newEntry;   // the entry marked now
  int scrollStep; // pixels the view has to move
};

// Moves the mark to the entry whose time has come at ms and gives the step that
// brings its line into view; false when the mark stays. The view moves only when a
// new line starts, so one the user scrolled stays put until then.
bool FollowSongTime(long ms, FollowChange *change);
