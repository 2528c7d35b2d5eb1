// The process-wide records a test may change, saved and cleared for the test and put
// back after it. A member of each fixture (constructed before SetUp, destroyed after
// TearDown), so every test starts from empty lists, no song, no decoders and empty
// Settings, whatever the test before it left.
#pragma once
#include "library/library.h"
#include "settings/settings.h"

struct RecordsGuard {
  RecordsGuard()
      : music(MusicList.count), texts(TextList.count), cursor(PlayCursor), flags(DecoderFlags),
        settings(Settings) {
    MusicList.count = 0;
    TextList.count = 0;
    PlayCursor = {-1, 0};
    DecoderFlags = {0, 0};
    Settings = SettingsRecord{};
  }
  ~RecordsGuard() {
    MusicList.count = music;
    TextList.count = texts;
    PlayCursor = cursor;
    DecoderFlags = flags;
    Settings = settings;
  }
  RecordsGuard(const RecordsGuard &) = delete;
  RecordsGuard &operator=(const RecordsGuard &) = delete;

  int music, texts;
  PlayCursorRecord cursor;
  DecoderFlagsRecord flags;
  SettingsRecord settings;
};
