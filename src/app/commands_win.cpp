#include "app/commands_win.h"

#include <cstdio>

#include "library/library.h"
#include "library/library_win.h"
#include "matching/matching.h"
#include "player/pitch_win.h"
#include "player/player.h"
#include "player/player_win.h"
#include "player/keep_tempo_win.h"
#include "player/position_win.h"
#include "player/practice_win.h"
#include "player/session_win.h"
#include "player/timing_win.h"
#include "resources/ids.h"
#include "settings/settings.h"
#include "settings/settings_win.h"
#include "settings/song_memory.h"
#include "settings/song_memory_win.h"
#include "shell/message_box_win.h"
#include "shell/notice_win.h"
#include "shell/shell_win.h"
#include "shell/version.h"
#include "textview/textview_win.h"
#include "textview/timed_text.h"

const char AboutCaption[] = "バージョン情報";

// The name and version; once a song has been chosen, its path on a second line.
void ShowAbout(HWND mainWindow) {
  if (PlayCursor.current >= 0)
    std::snprintf(WorkBuffer, sizeof WorkBuffer, "%s\n%s", VersionText,
                  MusicList.paths[PlayCursor.current]);
  else
    std::snprintf(WorkBuffer, sizeof WorkBuffer, "%s", VersionText);
  ShowMessageBox(mainWindow, WorkBuffer, AboutCaption, MB_OK);
}

// Modal; the dialog stores what its OK takes, and the folders are scanned anew here.
void OpenSettingsDialog(HWND mainWindow) {
  if (DialogBoxParamA(AppInstance, RES_SETTING_DIALOG, mainWindow, SettingDlgProc, 0) == IDOK)
    ScanFolders();
}

// The file argument is quoted, so that a path or title with a space stays one
// argument; no Windows file name contains '"'. A song without a text gets a new text
// named after it, resolved in the text folder (the current directory).
const char *FormatEditorCommand() {
  if (PlayerState.matchedText == -1) {
    int song = PlayCursor.current < 0 ? 0 : PlayCursor.current;
    std::snprintf(WorkBuffer, sizeof WorkBuffer, "%s \"%s.txt\"", Settings.editor,
                  SongTitle(song));
  } else {
    std::snprintf(WorkBuffer, sizeof WorkBuffer, "%s \"%s\"", Settings.editor,
                  TextList.paths[PlayerState.matchedText]);
  }
  return WorkBuffer;
}

// The program does not wait for the editor; a failed start is silent.
void LaunchEditor(HWND) { WinExec(FormatEditorCommand(), SW_SHOW); }

// Shows the matched text anew after editing; -1 empties the view.
void ReloadText(HWND mainWindow) {
  if (WriteStampsBeforeReload(mainWindow)) LoadText(PlayerState.matchedText);
}

void ShowKeepTempoCheck(HWND mainWindow) {
  CheckMenuItem(GetMenu(mainWindow), ID_KEEP_TEMPO,
                MF_BYCOMMAND | (KeepTempo ? MF_CHECKED : MF_UNCHECKED));
}

// Takes effect at once: a song that plays goes on, with or without its tempo kept.
void ToggleKeepTempo(HWND mainWindow) {
  KeepTempo = !KeepTempo;
  ShowKeepTempoCheck(mainWindow);
  SwitchKeepTempo(mainWindow);
}

// The lines of this song's text sooner or later, stored at once for the song.
static void MoveLyrics(int steps) {
  if (PlayCursor.current < 0) return;
  const long offset = StepLyricsOffset(LyricsOffset, steps);
  ShiftLyricsInView(offset);
  char text[32];
  FormatOffsetValue(offset, text, sizeof text);
  WriteSongValue(OFFSET_SECTION, MusicList.paths[PlayCursor.current], text);
  FormatLyricsNotice(offset, text, sizeof text);
  ShowPassingNotice(text);
}

void ShowLyricsSooner(HWND) { MoveLyrics(1); }
void ShowLyricsLater(HWND) { MoveLyrics(-1); }

// The lines are marked and filled that much later from the next tick on.
static void MoveOutputDelay(int steps) {
  OutputDelay = StepDelay(OutputDelay, steps);
  StoreOutputDelay();
  char text[32];
  FormatDelayNotice(OutputDelay, text, sizeof text);
  ShowPassingNotice(text);
}

void LengthenOutputDelay(HWND) { MoveOutputDelay(1); }
void ShortenOutputDelay(HWND) { MoveOutputDelay(-1); }

// The song goes on from where it stands at the new tempo; the stage comes into the graph
// or leaves it when it is needed now and was not, or the other way round.
static void ChangeTempo(HWND mainWindow, int steps) {
  const int tempo = StepTempo(Practice.tempo, steps);
  char notice[32];
  FormatTempoNotice(tempo, notice, sizeof notice);
  ShowPassingNotice(notice);
  if (tempo == Practice.tempo) return;
  SetPracticeTempo(tempo);
  SwitchKeepTempo(mainWindow);
}

void TempoDown(HWND mainWindow) { ChangeTempo(mainWindow, -1); }

void TempoUp(HWND mainWindow) { ChangeTempo(mainWindow, 1); }

void StepVoice(HWND mainWindow) {
  if (PlaybackSession.graph && GraphAudioChannels(PlaybackSession.graph) == 1) {
    ShowPassingNotice(VocalMonoNotice);
    return;
  }
  SetPracticeVocal(StepVocal(Practice.vocal));
  ShowPassingNotice(VocalNotice(Practice.vocal));
  SwitchKeepTempo(mainWindow);
}

// The frame is painted anew, the bar and the loop's marks with it.
static void RedrawProgressFrame() { InvalidateRect(MainWindow, &ProgressRect, TRUE); }

// The stage comes in with the loop's start, so that it holds the start by the time the
// loop is on; it stays once the loop is off, until the graph changes for another reason.
static void LetTheStagePlayTheLoop(HWND mainWindow) {
  TellStageTheLoop();
  if (PracticeStageWanted() && !PlaybackSession.stage) SwitchKeepTempo(mainWindow);
}

void PressLoop(HWND mainWindow) {
  ShowPassingNotice(PressLoopKey(&Practice.loop, SongMsNow()));
  LetTheStagePlayTheLoop(mainWindow);
  RedrawProgressFrame();
}

void LoopSongRange(long startMs, long endMs) {
  if (endMs < 0) endMs = static_cast<long>(PlaybackSession.duration * 1000);
  if (!SetLoopRange(&Practice.loop, startMs, endMs)) return;
  ShowPassingNotice(LoopOnNotice);
  LetTheStagePlayTheLoop(MainWindow);
  const long now = SongMsNow();
  if (now < startMs || now >= endMs) SeekSongTo(MainWindow, static_cast<LONGLONG>(startMs) * 10000);
  RedrawProgressFrame();
}
