// For every song of the scanned folders, the text the player's own FindText gives:
// the reference the match report is held to end to end.
// usage: bramloe_find_texts MUSIC_FOLDER TEXT_FOLDER AIMAI SKIP
// prints one line per song, in MusicList order: song path, a tab, text path or "none".
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "library/library.h"
#include "library/library_win.h"
#include "matching/matching_win.h"
#include "settings/settings.h"

int main(int argc, char **argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: bramloe_find_texts MUSIC_FOLDER TEXT_FOLDER AIMAI SKIP\n");
    return 2;
  }
  ProbeDecoders();
  std::snprintf(Settings.musicpath, sizeof Settings.musicpath, "%s", argv[1]);
  std::snprintf(Settings.textpath, sizeof Settings.textpath, "%s", argv[2]);
  Settings.aimai = std::atoi(argv[3]);
  Settings.skip = std::atoi(argv[4]);
  ScanFolders();
  for (int i = 0; i < MusicList.count; ++i) {
    const int text = FindText(i, 1);
    std::printf("%s\t%s\n", MusicList.paths[i], text >= 0 ? TextList.paths[text] : "none");
  }
  return 0;
}
