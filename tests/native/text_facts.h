// Everything a load leaves in the TextBuffer and the timed-text record, its words too,
// as one list of numbers that two loads can be compared by.
#pragma once

#include <vector>

#include "textview/textbuffer.h"
#include "textview/timed_text.h"

inline std::vector<long> LoadedTextFacts() {
  std::vector<long> facts = {TextBuffer.lineCount, TextBuffer.longest, TimedText.timed, TimedText.offset};
  for (int i = 0; i < TextBuffer.lineCount; i++) {
    for (const char *b = TextBuffer.rows[i]; *b; b++) facts.push_back(static_cast<unsigned char>(*b));
    facts.push_back(-1 - TextBuffer.wideUnits[i]);
    facts.insert(facts.end(), TextBuffer.wide[i], TextBuffer.wide[i] + TextBuffer.wideUnits[i]);
  }
  for (int i = 0; i < TimedText.entryCount; i++) {
    const TimedEntry &e = TimedText.entries[i];
    facts.insert(facts.end(), {e.time, e.firstRow, e.rowCount, e.firstWord, e.wordCount});
  }
  for (int i = 0; i < TimedText.wordCount; i++) {
    const TimedWord &w = TimedText.words[i];
    facts.insert(facts.end(), {w.start, w.length, w.firstByte, w.bytes, w.open});
  }
  return facts;
}
