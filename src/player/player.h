// The PlayerState record, read by the shell and the text view for the focus rule.
#pragma once

enum PlayerStateValue { Stopped = 0, Playing = 1, Paused = 2 };

struct PlayerStateRecord {
  int state;          // Stopped, Playing or Paused
  int matchedText;    // TextList index of the current song's text, -1 for none
  double duration;    // seconds
  int timerStarted;   // the position timer runs once started
};

extern PlayerStateRecord PlayerState;

// One text lookup of the play-next sequence: the TextList index for MusicList entry
// songIndex, or -1; attempt counts the songs tried in this sequence from 1.
typedef int (*SongTextLookup)(int songIndex, int attempt);

// Advances the PlayCursor over a MusicList of count songs (count > 0): a random entry
// when the shuffle flag is on, else the following one. With skip on, songs without a
// text are passed over, at most count of them. Returns the matched text index.
int ChooseSong(int count, int skip, SongTextLookup lookUp);
