// The text lookup as the player calls it, and the title line in the main window's caption.
#pragma once

// The TextList index of the text for MusicList entry songIndex, or -1; attempt counts
// the songs tried in this play-next sequence from 1. Sets the title line.
int FindText(int songIndex, int attempt);

// Formats the title line for the song key (with SongArtist) and sets it as the main
// window's caption.
void SetTitleLine(const char *songKey, const char *extension, const char *textShown);
