// The match report: for every song of the MusicList, which text the lookup finds and
// why, then a summary. Portable; bramloe-match.exe feeds it the scanned lists.
#pragma once

#include "matching/matching.h"

enum TitleSource { TITLE_FROM_FILE_NAME = 0, TITLE_FROM_TAG = 1 };

// What the lookup does with one song, as the player would see it on a first try.
struct SongMatch {
  int titleSource;              // TitleSource
  char title[KEY_BYTES];        // the title before any match key
  char artist[ARTIST_BYTES];    // SongArtist; "" for none
  char songKey[KEY_BYTES];
  int textIndex;                // TextList index found, -1 for none
  int pass;                     // LookupPass
  int prefixLength;             // fuzzy pass: the prefix length that won
  int candidateCount;           // fuzzy pass: texts equal at that length, the winner included
  int twin;                     // the other of a pair x.txt and x.lrc, -1 for none
  int twinRule;                 // TwinRule
  bool titleLineKept;           // skip on and no text: the player leaves the title line
  char titleLine[TITLE_LINE_BYTES];
};

void DescribeSong(int songIndex, SongMatch *match);

// The longest prefix of songKey, in whole characters, that some text shares (lengths:
// MatchedPrefixLengths of songKey); the texts that share it go to out (up to
// capacity, TextList order). Gives how many
// texts share it, 0 when no text begins like the key.
int NearestTexts(const char *songKey, const int *lengths, int *shared, int *out, int capacity);

// One line of the report, without a line end, in code page 932.
typedef void (*ReportSink)(void *context, const char *line);

// The whole report over MusicList, TextList and Settings. origin says where the
// settings came from (the settings file's path, the command line).
void WriteMatchReport(const char *origin, ReportSink sink, void *context);
