// The process-wide records a test may change, saved and cleared for the test and put
// back after it. A member of each fixture (constructed before SetUp, destroyed after
// TearDown), so every test starts from empty lists, no song, no decoders, empty
// Settings, a stopped player with nothing practised, whatever the test before it left.
#pragma once
// The player's records bring dshow.h, whose strsafe.h would retire the C string
// functions the tests that include this use.
#ifndef STRSAFE_NO_DEPRECATE
#define STRSAFE_NO_DEPRECATE
#endif
#include "library/library.h"
#include "player/keep_tempo_dmo_win.h"
#include "player/player_win.h"
#include "player/practice.h"
#include "player/practice_win.h"
#include "player/vocal.h"
#include "player/session_win.h"
#include "settings/settings.h"
#include "shell/focus_win.h"
#include "shell/player_state.h"
#include "textview/textview_win.h"
#include "textview/lyrics_window.h"
#include "textview/text_timing.h"
#include "textview/timed_text.h"

struct RecordsGuard {
  RecordsGuard()
      : music(MusicList.count), texts(TextList.count), cursor(PlayCursor), flags(DecoderFlags),
        settings(Settings), keepTempo(KeepTempo), controller(Controller), player(PlayerState),
        nextTakesFocus(NextTakesFocus), duration(PlaybackSession.duration), practice(Practice),
        lyricsOffset(LyricsOffset), outputDelay(OutputDelay), songMsHeard(SongMsHeard), lyricsWindow(LyricsWindow),
        timing(Timing) {
    MusicList.count = 0;
    TextList.count = 0;
    PlayCursor = {-1, 0};
    DecoderFlags = {0, 0};
    Settings = SettingsRecord{};
    KeepTempo = 0;
    Controller = {Stopped, false, {0, false}, false, false, {}, HELD_NONE};
    PlayerState = {0};
    NextTakesFocus = false;
    PlaybackSession.duration = 0.0;
    Practice = {TEMPO_DEFAULT, {LOOP_NONE, 0, 0}, {0, 0, TEMPO_DEFAULT}, 0, VOCAL_AS_RECORDED};
    SetKeepTempoTempo(TEMPO_DEFAULT);  // a stage plays at the practised tempo, voice and loop
    SetKeepTempoVocal(VOCAL_AS_RECORDED);
    SetKeepTempoLoop(0, 0);
    LyricsOffset = 0;
    OutputDelay = 0;
    SongMsHeard = nullptr;
    LyricsWindow = LyricsWindowRecord{};
    Timing = TimingRecord{};
  }
  ~RecordsGuard() {
    MusicList.count = music;
    TextList.count = texts;
    PlayCursor = cursor;
    DecoderFlags = flags;
    Settings = settings;
    KeepTempo = keepTempo;
    Controller = controller;
    PlayerState = player;
    NextTakesFocus = nextTakesFocus;
    PlaybackSession.duration = duration;
    Practice = practice;
    SetKeepTempoTempo(Practice.tempo);
    SetKeepTempoVocal(Practice.vocal);
    TellStageTheLoop();
    LyricsOffset = lyricsOffset;
    OutputDelay = outputDelay;
    SongMsHeard = songMsHeard;
    LyricsWindow = lyricsWindow;
    Timing = timing;
  }
  RecordsGuard(const RecordsGuard &) = delete;
  RecordsGuard &operator=(const RecordsGuard &) = delete;

  int music, texts;
  PlayCursorRecord cursor;
  DecoderFlagsRecord flags;
  SettingsRecord settings;
  int keepTempo;
  ControllerRecord controller;
  PlayerStateRecord player;
  bool nextTakesFocus;
  double duration;
  PracticeRecord practice;
  long lyricsOffset;
  int outputDelay;
  long (*songMsHeard)();
  LyricsWindowRecord lyricsWindow;
  TimingRecord timing;
};
