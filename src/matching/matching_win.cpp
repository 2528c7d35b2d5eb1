// The only Win32 step of the matching: the caption. Everything it shows is decided by
// the portable lookup.
#include <windows.h>

#include "matching/matching.h"
#include "matching/matching_win.h"
#include "shell/shell_win.h"

void SetTitleLine(const char *songKey, const char *extension, const char *textShown) {
  char line[TITLE_LINE_BYTES];
  FormatTitleLine(line, sizeof line, extension, songKey, SongArtist, textShown);
  SetWindowTextA(MainWindow, line);
}

int FindText(int songIndex, int attempt) {
  TextLookup found;
  LookUpSongText(songIndex, attempt, &found);
  if (found.textShown) SetTitleLine(found.songKey, found.extension, found.textShown);
  return found.index;
}
