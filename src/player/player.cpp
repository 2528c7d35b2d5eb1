#include "player/player.h"

#include <cstdlib>

#include "library/library.h"

int ChooseSong(int count, int skip, SongTextLookup lookUp) {
  int attempt = 0;
  int matched;
  do {
    // From -1 (start, or after a drop) list order begins at entry 0.
    int from = PlayCursor.current < 0 ? -1 : PlayCursor.current;
    PlayCursor.current = PlayCursor.shuffle ? std::rand() % count : (from + 1) % count;
    attempt++;
    matched = lookUp(PlayCursor.current, attempt);
  } while (matched == -1 && skip && attempt < count);
  return matched;
}
