// Timed texts: the time tags and header lines taken out of the rows, the offset, and
// the rule that marks the line being sung and keeps it in the upper part of the view.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "native/text_pieces.h"
#include "textview/textbuffer.h"
#include "textview/timed_text.h"

namespace {

void Load(const std::string &bytes) { LoadInEveryPieceSize(bytes); }

std::vector<std::string> Rows() {
  std::vector<std::string> rows;
  for (int i = 0; i < TextBuffer.lineCount; i++) rows.push_back(TextBuffer.rows[i]);
  return rows;
}

struct Entry {
  long time;
  int firstRow, rowCount;
  bool operator==(const Entry &o) const {
    return time == o.time && firstRow == o.firstRow && rowCount == o.rowCount;
  }
};

std::ostream &operator<<(std::ostream &out, const Entry &e) {
  return out << "{" << e.time << " ms, row " << e.firstRow << " x" << e.rowCount << "}";
}

std::vector<Entry> Entries() {
  std::vector<Entry> entries;
  for (int i = 0; i < TimedText.entryCount; i++) {
    const TimedEntry &e = TimedText.entries[i];
    entries.push_back({e.time, e.firstRow, e.rowCount});
  }
  return entries;
}

// A timed text of n lines, one a second from 0:00, in a 300 x 400 view.
void LoadSecondsText(int n) {
  std::string text;
  char tag[64];
  for (int i = 0; i < n; i++) {
    std::snprintf(tag, sizeof tag, "[%02d:%02d.00]line %d\n", i / 60, i % 60, i);
    text += tag;
  }
  Load(text);
  TextView = TextViewRecord{};
  TextView.viewWidth = 300;
  TextView.viewHeight = 400;
  UpdateLineMetrics();
  RecomputeScrollRange();
}

// Follows to ms as the view would, applying the step.
bool Follow(long ms) {
  FollowChange change;
  if (!FollowSongTime(ms, &change)) return false;
  TextView.scrollPos += change.scrollStep;
  return true;
}

int MarkedRow() { return TimedText.marked < 0 ? -1 : TimedText.entries[TimedText.marked].firstRow; }

}  // namespace

TEST(TimedText, TagForms) {
  struct Case {
    const char *tag;
    int length;  // 0: not a tag
    long ms;
  } cases[] = {
      {"[00:12]", 7, 12000},
      {"[00:12.3]", 9, 12300},
      {"[00:12.34]", 10, 12340},
      {"[00:12.345]", 11, 12345},
      {"[1:2.3]", 7, 62300},
      {"[99:59.999]", 11, 5999999},
      {"[100:00]", 8, 6000000},
      {"[01:02]text", 7, 62000},
      {"[00:60]", 0, 0},
      {"[00:12.]", 0, 0},
      {"[00:12.3456]", 0, 0},
      {"[00:12:34]", 0, 0},
      {"[1000:00]", 0, 0},
      {"[00:123]", 0, 0},
      {"[:12]", 0, 0},
      {"[00:]", 0, 0},
      {"[00:12", 0, 0},
      {"[ 00:12]", 0, 0},
      {"[ti:00:12]", 0, 0},
      {"(00:12)", 0, 0},
  };
  for (const Case &c : cases) {
    long ms = -1;
    const int length = ParseTimeTag(c.tag, static_cast<int>(std::string(c.tag).size()), &ms);
    EXPECT_EQ(c.length, length) << c.tag;
    if (c.length) {
      EXPECT_EQ(c.ms, ms) << c.tag;
    }
  }
  // The length given is a limit: a tag running past it is none.
  long ms;
  EXPECT_EQ(0, ParseTimeTag("[00:12]", 6, &ms));
}

TEST(TimedText, TagsAndHeadersLeaveTheRows) {
  struct Case {
    const char *what;
    std::string text;
    std::vector<std::string> rows;
    int longest;
    std::vector<Entry> entries;  // by time
  } cases[] = {
      {"headers hidden, offset applied, several tags, a tag in mid-line kept",
       "[ti:故郷]\n[ar:文部省唱歌]\n[offset:+500]\n[00:01.00]兎追いし\n[00:03.50][00:10.00]かの山\n"
       "plain\n[00:05]mid [00:06] stays\n",
       {"兎追いし", "かの山", "plain", "mid [00:06] stays"},
       17,
       {{500, 0, 1}, {3000, 1, 1}, {4500, 3, 1}, {9500, 1, 1}}},
      {"a negative offset, and none below zero", "[offset:-250]\n[00:00]a\n[00:01]b\n",
       {"a", "b"}, 1, {{250, 0, 1}, {1250, 1, 1}}},
      {"offset beyond the first tag", "[00:00.10]a\n[offset:300]\n[00:01]b\n", {"a", "b"}, 1,
       {{0, 0, 1}, {700, 1, 1}}},
      {"a long sung line fills rows, its tag not counted", "[00:01]" + std::string(150, 'x') + "\r\n[00:02]y",
       {std::string(99, 'x'), std::string(51, 'x'), "y"}, 99, {{1000, 0, 2}, {2000, 2, 1}}},
      {"an empty sung line and an untagged line", "[00:01]\nno tag\n[00:02]z\n", {"", "no tag", "z"}, 6,
       {{1000, 0, 1}, {2000, 2, 1}}},
      {"without tags, header-like lines stay text", "[ti:故郷]\n[00:01 no tag]\n",
       {"[ti:故郷]", "[00:01 no tag]"}, 14, {}},
      {"a tag only in mid-line makes no timed text", "sing [00:01]here\n", {"sing [00:01]here"}, 16, {}},
  };
  for (const Case &c : cases) {
    Load(c.text);
    EXPECT_EQ(c.rows, Rows()) << c.what;
    EXPECT_EQ(c.longest, TextBuffer.longest) << c.what;
    EXPECT_EQ(!c.entries.empty(), TimedText.timed) << c.what;
    EXPECT_EQ(c.entries, Entries()) << c.what;
    EXPECT_EQ(-1, TimedText.marked) << c.what;
  }
}

// The one reader, at a line's start or inside it: every form it knows, where each
// ends, and bytes that are text or not yet known.
TEST(TimedText, TheReaderTellsWhatBeginsAtAPlace) {
  struct Case {
    const char *line;
    int at;
    TimeTagKind kind;
    int end;
    long ms;
  } cases[] = {
      {"[00:01][00:02.5]sung", 7, TAG_LINE_TIME, 16, 2500},
      {"ab[01:02.03]", 2, TAG_LINE_TIME, 12, 62030},
      {"sing <00:01.5>here", 5, TAG_ANGLE_TIME, 14, 1500},
      {"<1:02>", 0, TAG_ANGLE_TIME, 6, 62000},
      {"<00:01.234>", 0, TAG_ANGLE_TIME, 11, 1234},
      {"la[00:02:3]la", 2, TAG_COLON_TIME, 11, 2300},
      {"[00:02:34]", 0, TAG_COLON_TIME, 10, 2340},
      {"[000:02:345]", 0, TAG_COLON_TIME, 12, 2345},
      {"[00:02:]", 0, TAG_NONE, 0, 0},
      {"[00:02:3456]", 0, TAG_NONE, 0, 0},
      {"<00:60.1>", 0, TAG_NONE, 0, 0},
      {"<00:01]", 0, TAG_NONE, 0, 0},
      {"[00:01>", 0, TAG_NONE, 0, 0},
      {"<00:01:02>", 0, TAG_NONE, 0, 0},
      {"<ti:x>", 0, TAG_NONE, 0, 0},
      {"[ti]", 0, TAG_NONE, 0, 0},
      {"[t1:x]", 0, TAG_NONE, 0, 0},
      {"x[00:0", 1, TAG_MORE, 0, 0},
      {"<00:01.", 0, TAG_MORE, 0, 0},
      {"[ti", 0, TAG_MORE, 0, 0},
      {"", 0, TAG_MORE, 0, 0},
      {"[ti:故郷]", 0, TAG_HEADER, 4, 0},
      {"x[ar:y]", 1, TAG_HEADER, 5, 0},
      {"[offsets:5]", 0, TAG_HEADER, 9, 0},
      {"[offset:+500]", 0, TAG_OFFSET, 13, 500},
      {"[OffSet: -250 ]", 0, TAG_OFFSET, 15, -250},
      {"[offset:86400000]", 0, TAG_OFFSET, 17, 86400000},
      {"[offset:86400001]", 0, TAG_HEADER, 8, 0},  // more than a day
      {"[offset:123456789]", 0, TAG_HEADER, 8, 0},
      {"[offset:]", 0, TAG_HEADER, 8, 0},
      {"[offset:+5", 0, TAG_HEADER, 8, 0},
  };
  for (const Case &c : cases) {
    TimeTag tag = {-1, -1};
    EXPECT_EQ(c.kind, ReadTimeTag(c.line, static_cast<int>(std::string(c.line).size()), c.at, &tag)) << c.line;
    if (c.kind != TAG_NONE && c.kind != TAG_MORE) {
      EXPECT_EQ(c.end, tag.end) << c.line;
      if (c.kind != TAG_HEADER) {
        EXPECT_EQ(c.ms, tag.ms) << c.line;
      }
    }
  }
}

// What a line's start takes: only square line tags, and a header only when its last byte
// that is not blank is "]", however long the line.
TEST(TimedText, TheLineStartTakesLineTagsAndWholeHeaders) {
  const std::string far(20000, ' ');
  struct Case {
    const char *what;
    std::string text;
    std::vector<std::string> rows;
    std::vector<Entry> entries;
  } cases[] = {
      {"a header ends with its bracket", "[ti:x] tail\n[ti:x] \t\n[Ar:y]\n[00:01]a\n", {"[ti:x] tail", "a"},
       {{1000, 1, 1}}},
      {"after a tag a header is text", "[00:01][ti:x]\n", {"[ti:x]"}, {{1000, 0, 1}}},
      {"other tags at the start are text", "<00:01>a\n[00:02:50]b\n[00:03]c\n", {"<00:01>a", "[00:02:50]b", "c"},
       {{3000, 2, 1}}},
      {"a name longer than a tag", "[abcdefghijklmnop:x]\n[abcdefghijklmnop]\n[00:01]a", {"[abcdefghijklmnop]", "a"},
       {{1000, 1, 1}}},
      {"an offset and its bracket", "[offset:+300] ]\n[00:01]a\n[offset:-100] x\n", {"a", "[offset:-100] x"},
       {{700, 0, 1}}},
      {"a header longer than every row", "[ti:" + far + "x]\n[00:01]a\n", {"a"}, {{1000, 0, 1}}},
      {"an offset whose bracket is far", "[offset:+300" + far + "]\n[00:01]a\n", {"a"}, {{700, 0, 1}}},
  };
  for (const Case &c : cases) {
    Load(c.text);
    EXPECT_EQ(c.rows, Rows()) << c.what;
    EXPECT_EQ(c.entries, Entries()) << c.what;
  }
  // Too long to hold and no header, or a name that does not end within the room: what
  // was held fills every row.
  for (const std::string &line : {"[ti:" + std::string(30000, 'x'), "[" + std::string(30000, 'a') + ":x]"}) {
    Load(line + "\n[00:01]a\n");
    ASSERT_EQ(TEXT_ROWS, TextBuffer.lineCount);
    EXPECT_EQ(line.substr(0, 99), TextBuffer.rows[0]);
    EXPECT_EQ(0, TimedText.entryCount);
  }
}

// The fast paths of the lookup must agree with a plain scan for any hint.
TEST(TimedText, EntryLookupAgreesWithAScan) {
  Load("[00:01]a\n[00:02]b\n[00:02]c\n[00:05]d\n[00:09]e\n[00:09.5]f\n");
  ASSERT_EQ(6, TimedText.entryCount);
  for (int hint = -1; hint < TimedText.entryCount; hint++) {
    for (long ms = -10; ms < 11000; ms += 250) {
      int expected = -1;
      for (int i = 0; i < TimedText.entryCount; i++)
        if (TimedText.entries[i].time <= ms) expected = i;
      TimedText.marked = hint;
      EXPECT_EQ(expected, TimedEntryAt(ms)) << "hint " << hint << " at " << ms << " ms";
    }
  }
}

// At each moment the marked row is the one whose time has come, and it stands in the
// upper third of the view wherever the scroll range lets it.
TEST(TimedText, FollowKeepsTheSungLineInTheUpperThird) {
  LoadSecondsText(200);
  ASSERT_GT(TextView.scrollMax, 1000);
  const int third = TextView.viewHeight / 3;
  struct Step {
    long ms;
    bool changes;
    int row;
  } steps[] = {
      {0, true, 0},       {999, false, 0},   {1000, true, 1},  {30500, true, 30},
      {31000, true, 31},  {12000, true, 12},  // a seek back
      {150000, true, 150}, {0, true, 0},       // Top
      {199000, true, 199},  // the last line: the view stops at its bottom
  };
  for (const Step &s : steps) {
    EXPECT_EQ(s.changes, Follow(s.ms)) << s.ms;
    ASSERT_EQ(s.row, MarkedRow()) << s.ms;
    const int top = s.row * TextView.linePitch - TextView.scrollPos;
    if (TextView.scrollPos > 0 && TextView.scrollPos < TextView.scrollMax) {
      EXPECT_EQ(TextView.viewHeight / 4, top) << s.ms;
    }
    if (TextView.scrollPos < TextView.scrollMax) {
      EXPECT_GE(top, 0) << s.ms;
      EXPECT_LT(top, third) << s.ms;
    } else {
      EXPECT_LE(top + TextView.linePitch, TextView.viewHeight) << s.ms;  // still in view
    }
    EXPECT_GE(TextView.scrollPos, 0);
    EXPECT_LE(TextView.scrollPos, TextView.scrollMax);
  }
}

TEST(TimedText, ScrolledByHandTheViewWaitsForTheNextLine) {
  LoadSecondsText(100);
  ASSERT_TRUE(Follow(40000));
  const int following = TextView.scrollPos;
  TextView.scrollPos = 5;  // the user scrolled
  EXPECT_FALSE(Follow(40500));
  EXPECT_EQ(5, TextView.scrollPos);
  EXPECT_TRUE(Follow(41000));
  EXPECT_EQ(following + TextView.linePitch, TextView.scrollPos);
  // Before the first line, after Top, the view goes back to the start.
  EXPECT_TRUE(Follow(-1));
  EXPECT_EQ(-1, TimedText.marked);
  EXPECT_EQ(0, TextView.scrollPos);
  EXPECT_FALSE(IsMarkedRow(0));
}

TEST(TimedText, LineWithSeveralTagsIsMarkedAtEachTime) {
  Load("[00:01]verse\n[00:02][00:06]chorus\n[00:04]bridge\n");
  const struct {
    long ms;
    int row;
  } moments[] = {{500, -1}, {1000, 0}, {2000, 1}, {4000, 2}, {6000, 1}, {9000, 1}};
  for (const auto &m : moments) {
    FollowChange change;
    FollowSongTime(m.ms, &change);
    for (int row = 0; row < 3; row++) EXPECT_EQ(row == m.row, IsMarkedRow(row)) << m.ms << " row " << row;
  }
  // An untimed text never follows.
  Load("verse\n");
  FollowChange change;
  EXPECT_FALSE(FollowSongTime(1000, &change));
  EXPECT_FALSE(IsMarkedRow(0));
}
