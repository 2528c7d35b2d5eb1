// The PlayerState record: set by the player, read by the focus rule and the text view.
#pragma once

enum PlayerStateValue { Stopped = 0, Playing = 1, Paused = 2 };

struct PlayerStateRecord {
  int state;          // Stopped, Playing or Paused
  int matchedText;    // TextList index of the current song's text, -1 for none
  double duration;    // seconds
  int timerStarted;   // the position timer runs once started
};

extern PlayerStateRecord PlayerState;
