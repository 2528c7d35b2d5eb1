// The match report. Every decision in it is the lookup's own (LookUpSongText and the
// comparisons of matching.h); this file only gathers the texts the lookup weighed and
// says in words what it did with them.
#include "matching/match_report.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "library/library.h"
#include "settings/settings.h"

namespace {

enum {
  LINE_BYTES = 2048,       // a title line, a path and the words around them
  LISTED_TEXTS = 10,       // beaten candidates and equal names shown per song
  LISTED_NEAREST = 5,
};

struct Out {
  ReportSink sink;
  void *context;
};

__attribute__((format(printf, 2, 3))) void Line(const Out &out, const char *format, ...) {
  char line[LINE_BYTES];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  out.sink(out.context, line);
}

const char *OnOff(int value) { return value ? "on" : "off"; }

int KeyLength(const char *key) { return static_cast<int>(std::strlen(key)); }

// The first n bytes of key as a quotable string (n never exceeds the key).
void Prefix(const char *key, int n, char *out) {
  std::memcpy(out, key, n);
  out[n] = '\0';
}

// The prefix lengths above the winning one that the fuzzy pass tried and threw away:
// some text matched them, but they end inside a character or just after '('.
void WriteSkippedLengths(const Out &out, const char *songKey, int longestShared, int above) {
  int n = longestShared < KeyLength(songKey) - 1 ? longestShared : KeyLength(songKey) - 1;
  char prefix[KEY_BYTES];
  for (; n > above && n >= 2; --n) {
    if (!IsAbandonedPrefix(songKey, n)) continue;  // cannot happen above the winner
    if (songKey[n - 1] == '(' && ByteTypeAt(songKey, n - 1) == 0) {
      Prefix(songKey, n, prefix);
      Line(out, "    skipped: prefix of %d bytes \"%s\" (ends just after '(')", n, prefix);
    } else {
      Line(out, "    skipped: prefix of %d bytes (would end inside a double-byte character)", n);
    }
  }
}

int Longest(const int *lengths, int count) {
  int longest = 0;
  for (int i = 0; i < count; ++i)
    if (lengths[i] > longest) longest = lengths[i];
  return longest;
}

void WriteExact(const Out &out, const SongMatch &m) {
  Line(out, "  text:   %s   (exact pass)", TextList.paths[m.textIndex]);
  // Later texts with the same name never win: the first in the list does.
  int listed = 0, more = 0;
  for (int i = m.textIndex + 1; i < TextList.count; ++i) {
    if (!KeysEqualExactly(m.songKey, CachedTextKey(i))) continue;
    if (listed < LISTED_TEXTS) {
      Line(out, "    also equal, later in the text list: %s", TextList.paths[i]);
      ++listed;
    } else {
      ++more;
    }
  }
  if (more) Line(out, "    ... and %d more equal texts", more);
}

void WriteFuzzy(const Out &out, const SongMatch &m, const int *lengths) {
  char prefix[KEY_BYTES];
  Prefix(m.songKey, m.prefixLength, prefix);
  Line(out, "  text:   %s   (fuzzy pass: prefix of %d bytes \"%s\", %d candidate%s)",
       TextList.paths[m.textIndex], m.prefixLength, prefix, m.candidateCount,
       m.candidateCount == 1 ? "" : "s");
  WriteSkippedLengths(out, m.songKey, Longest(lengths, TextList.count), m.prefixLength);
  const int winnerLength = KeyLength(CachedTextKey(m.textIndex));
  int listed = 0, more = 0;
  for (int i = 0; i < TextList.count; ++i) {
    if (i == m.textIndex || i == m.twin || lengths[i] < m.prefixLength) continue;
    if (listed == LISTED_TEXTS) {
      ++more;
      continue;
    }
    ++listed;
    const int length = KeyLength(CachedTextKey(i));
    if (length > winnerLength) {
      Line(out, "    beat:   %s   (longer name: %d bytes against %d)", TextList.paths[i], length,
           winnerLength);
    } else {
      Line(out, "    beat:   %s   (same length, %d bytes: the tie goes to the lower index)",
           TextList.paths[i], length);
    }
  }
  if (more) Line(out, "    ... and %d more candidates", more);
}

// Of a pair x.txt and x.lrc the passes find x.txt; which one is shown, and why.
void WriteTwin(const Out &out, const SongMatch &m) {
  if (m.twinRule == TWIN_TIMED_SHOWN)
    Line(out, "    timed twin: shown instead of %s (the .lrc is timed, the .txt is not)", TextList.paths[m.twin]);
  else if (m.twinRule == TWIN_NOT_TIMED)
    Line(out, "    twin: %s is not shown (it is not timed)", TextList.paths[m.twin]);
  else if (m.twinRule == TWIN_BOTH_TIMED)
    Line(out, "    twin: %s is not shown (the .txt is timed too)", TextList.paths[m.twin]);
}

void WriteNone(const Out &out, const SongMatch &m, const int *lengths) {
  const int keyLength = KeyLength(m.songKey);
  if (TextList.count == 0) {
    Line(out, "  text:   none   (the text list is empty)");
    return;
  }
  if (!Settings.aimai) {
    Line(out, "  text:   none   (no text name equals the title; fuzzy matching is off)");
  } else if (keyLength <= 2) {
    Line(out, "  text:   none   (no text name equals the key; a key of 2 bytes or fewer is "
              "matched only exactly)");
  } else {
    Line(out, "  text:   none   (no text name equals the key, and no text shares a usable "
              "prefix of 2 bytes or more)");
    WriteSkippedLengths(out, m.songKey, Longest(lengths, TextList.count), 1);
  }
  int nearest[LISTED_NEAREST];
  int shared = 0;
  const int count = NearestTexts(m.songKey, lengths, &shared, nearest, LISTED_NEAREST);
  if (count == 0) {
    Line(out, "    nearest: none (no text name begins like the key)");
    return;
  }
  char prefix[KEY_BYTES];
  Prefix(m.songKey, shared, prefix);
  for (int i = 0; i < count && i < LISTED_NEAREST; ++i)
    Line(out, "    nearest: %s   (shares \"%s\", %d bytes)", TextList.paths[nearest[i]], prefix,
         shared);
  if (count > LISTED_NEAREST) Line(out, "    ... and %d more as near", count - LISTED_NEAREST);
}

void WriteSong(const Out &out, int songIndex, const SongMatch &m, int *lengths) {
  Line(out, "song %d: %s", songIndex + 1, MusicList.paths[songIndex]);
  Line(out, "  title:  %s   (from %s)", m.title,
       m.titleSource == TITLE_FROM_TAG ? "the ID3v1 tag" : "the file name");
  Line(out, "  artist: %s", m.artist[0] ? m.artist : "(none)");
  Line(out, "  key:    %s%s", m.songKey, Settings.aimai ? "   (match key)" : "");
  if (m.pass != LOOKUP_EXACT) MatchedPrefixLengths(m.songKey, lengths);
  if (m.pass == LOOKUP_EXACT) WriteExact(out, m);
  else if (m.pass == LOOKUP_FUZZY) WriteFuzzy(out, m, lengths);
  else WriteNone(out, m, lengths);
  WriteTwin(out, m);
  if (m.titleLineKept) Line(out, "  line:   (left as it was: skip passes over this song)");
  else Line(out, "  line:   %s", m.titleLine);
}

}  // namespace

void DescribeSong(int songIndex, SongMatch *match) {
  TextLookup found;
  LookUpSongText(songIndex, 1, &found);  // as FindText on the first try of a sequence
  std::snprintf(match->title, sizeof match->title, "%s", SongTitleRead.title);
  match->titleSource = SongTitleRead.fromTag ? TITLE_FROM_TAG : TITLE_FROM_FILE_NAME;
  std::snprintf(match->songKey, sizeof match->songKey, "%s", found.songKey);
  std::snprintf(match->artist, sizeof match->artist, "%s", SongArtist);
  match->textIndex = found.index;
  match->pass = found.pass;
  match->prefixLength = found.prefixLength;
  match->candidateCount = found.candidateCount;
  match->twin = found.twin;
  match->twinRule = found.twinRule;
  match->titleLineKept = found.textShown == nullptr;
  match->titleLine[0] = '\0';
  if (found.textShown)
    FormatTitleLine(match->titleLine, sizeof match->titleLine, found.extension, found.songKey,
                    SongArtist, found.textShown);
}

int NearestTexts(const char *songKey, const int *lengths, int *shared, int *out, int capacity) {
  // The comparison counts a double-byte character that begins at the prefix's last
  // byte as equal; only whole characters are worth showing as shared.
  int best = 0, count = 0;
  for (int i = 0; i < TextList.count; ++i) {
    const int whole = CutAtCharacter(songKey, lengths[i]);
    if (whole == 0 || whole < best) continue;
    if (whole > best) {
      best = whole;
      count = 0;
    }
    if (count < capacity) out[count] = i;
    ++count;
  }
  *shared = best;
  return count;
}

void WriteMatchReport(const char *origin, ReportSink sink, void *context) {
  const Out out = {sink, context};
  Line(out, "BRAMLOE match report");
  Line(out, "  settings:     %s", origin);
  Line(out, "  music folder: %s", Settings.musicpath);
  Line(out, "  text folder:  %s", Settings.textpath);
  Line(out, "  aimai:        %s", Settings.aimai ? "on (fuzzy matching)" : "off (exact names only)");
  Line(out, "  skip:         %s", OnOff(Settings.skip));
  Line(out, "%s", "");

  static bool found[TEXT_CAPACITY];     // which texts some song finds
  static bool missing[MUSIC_CAPACITY];  // which songs find none
  static int lengths[TEXT_CAPACITY];
  std::memset(found, 0, sizeof found);
  int withText = 0;
  for (int i = 0; i < MusicList.count; ++i) {
    SongMatch m;
    DescribeSong(i, &m);
    WriteSong(out, i, m, lengths);
    Line(out, "%s", "");
    missing[i] = m.textIndex < 0;
    if (m.textIndex >= 0) {
      ++withText;
      found[m.textIndex] = true;
    }
  }

  Line(out, "summary");
  Line(out, "  songs:                %d", MusicList.count);
  Line(out, "  songs with a text:    %d", withText);
  if (Settings.skip)
    Line(out, "  songs without a text: %d   (skip is on: the player passes over them)", MusicList.count - withText);
  else
    Line(out, "  songs without a text: %d   (skip would pass over them; the title line shows \"%s\")",
         MusicList.count - withText, NO_TEXT_SHOWN);
  for (int i = 0; i < MusicList.count; ++i)
    if (missing[i]) Line(out, "    %s", MusicList.paths[i]);
  int unused = 0;
  for (int i = 0; i < TextList.count; ++i) unused += !found[i];
  Line(out, "  texts:                %d", TextList.count);
  Line(out, "  texts no song finds:  %d", unused);
  for (int i = 0; i < TextList.count; ++i)
    if (!found[i]) Line(out, "    %s", TextList.paths[i]);
}
