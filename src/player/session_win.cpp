#include "player/session_win.h"

#include <cstring>

#include "library/library.h"
#include "player/graph_win.h"
#include "player/keep_tempo_win.h"
#include "player/practice.h"
#include "player/session_rules.h"
#include "resources/ids.h"
#include "settings/settings.h"
#include "shell/message_box_win.h"
#include "shell/shell_win.h"
#include "textview/textview_win.h"

PlaybackSessionRecord PlaybackSession;

static HRESULT AskWithoutWaiting(IMediaControl *control, OAFilterState *state) {
  return control->GetState(0, state);
}

HRESULT (*AskGraphState)(IMediaControl *control, OAFilterState *state) = AskWithoutWaiting;
DWORD GraphStartLimit = 5000;

// A new graph is empty, not asked to run, at rate 1 and without the stage.
HRESULT CreateSession(HWND notifyWindow) {
  PlaybackSessionRecord &s = PlaybackSession;
  s.song = false;
  s.runAskedAt = 0;
  s.seenRunning = false;
  s.rateAsked = 1.0;
  s.stage = false;
  HRESULT result = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IGraphBuilder, reinterpret_cast<void **>(&s.graph));
  if (FAILED(result)) {
    s.graph = nullptr;
    ShowMessageBox(nullptr, CannotCreateGraphMessage, CreateCaption, MB_OK);
    return result;
  }
  result = s.graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void **>(&s.control));
  if (FAILED(result)) {
    s.control = nullptr;
    ShowMessageBox(nullptr, NoMediaControlMessage, CreateCaption, MB_OK);
    return result;
  }
  result = s.graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void **>(&s.events));
  if (FAILED(result)) {
    s.events = nullptr;
    ShowMessageBox(nullptr, NoMediaEventMessage, CreateCaption, MB_OK);
    return result;
  }
  s.events->SetNotifyWindow(reinterpret_cast<OAHWND>(notifyWindow), WM_GRAPH_EVENT, 0);
  // Optional interfaces: one that cannot be had stays null and its calls are skipped.
  if (FAILED(s.graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void **>(&s.audio))))
    s.audio = nullptr;
  if (FAILED(s.graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void **>(&s.seeking))))
    s.seeking = nullptr;
  if (FAILED(s.graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void **>(&s.video))))
    s.video = nullptr;
  return result;
}

// The graph is neither stopped nor detached here: a reset stops it first, and at
// shutdown the windows are already gone.
void ReleaseSession() {
  PlaybackSessionRecord &s = PlaybackSession;
  s.song = false;
  s.stage = false;
  ReleaseInterface(&s.video);
  ReleaseInterface(&s.seeking);
  ReleaseInterface(&s.audio);
  ReleaseInterface(&s.events);
  ReleaseInterface(&s.control);
  ReleaseInterface(&s.graph);
}

HRESULT RunGraph() {
  if (!PlaybackSession.control) return S_OK;
  HRESULT result = PlaybackSession.control->Run();
  PlaybackSession.runAskedAt = GetTickCount() | 1;  // never 0, which means not asked
  PlaybackSession.seenRunning = false;
  return result;
}

void StopGraph() {
  if (PlaybackSession.control) PlaybackSession.control->Stop();
  PlaybackSession.runAskedAt = 0;
  PlaybackSession.seenRunning = false;
}

// Once seen running the graph is not asked again until its next Run, so a tick costs
// no more than before.
bool GraphStarting() {
  PlaybackSessionRecord &s = PlaybackSession;
  if (!s.runAskedAt || s.seenRunning || !s.control) return false;
  OAFilterState state = State_Stopped;
  HRESULT result = AskGraphState(s.control, &state);
  s.seenRunning = SUCCEEDED(result) && result != VFW_S_STATE_INTERMEDIATE && state == State_Running;
  return !s.seenRunning;
}

bool GraphStartOverdue() {
  const PlaybackSessionRecord &s = PlaybackSession;
  return s.runAskedAt && !s.seenRunning && StartOverdue(GetTickCount(), s.runAskedAt, GraphStartLimit);
}

// The first file a process renders costs what no later one does: the decoders' modules
// are loaded and started and the audio devices are listed, over 100 ms under Wine, which
// would stand between the first Play and its sound. A song rendered beforehand, unseen
// and never run, by a thread that shares nothing with the window's, takes that cost
// while the user has yet to press Play. The thread starts once the window is up: made
// while the main thread was still setting up its windowing, it could deadlock with it
// inside Wine.
// What it renders is a copy of the song's first bytes in the temporary folder: a graph
// holds its file open, and the user's own must stay free to rename, delete or retag.
static char warmUpPath[PATH_BYTES];
static char warmUpCopy[MAX_PATH];
static HANDLE warmUpThread;
static HANDLE warmUpEndAsked;  // set by a Play or the exit; made once, never closed

void (*WarmUpHeld)(const char *copy, HRESULT rendered, HANDLE endAsked) = nullptr;

static bool EndAsked() { return WaitForSingleObject(warmUpEndAsked, 0) == WAIT_OBJECT_0; }

// The song is opened shared every way and closed as soon as its bytes are read.
static bool CopySongStart(char *bytes) {
  HANDLE song = CreateFileA(warmUpPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (song == INVALID_HANDLE_VALUE) return false;
  DWORD total = 0, got = 0;
  while (total < WARM_UP_COPY_BYTES && ReadFile(song, bytes + total, WARM_UP_COPY_BYTES - total, &got, nullptr) && got)
    total += got;
  CloseHandle(song);
  if (total == 0) return false;
  HANDLE copy = CreateFileA(warmUpCopy, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (copy == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  const bool written = WriteFile(copy, bytes, total, &put, nullptr) && put == total;
  CloseHandle(copy);
  return written;
}

static void RenderCopy() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return;
  WCHAR widePath[MAX_PATH];
  IGraphBuilder *graph = nullptr;
  if (MultiByteToWideChar(CP_ACP, 0, warmUpCopy, -1, widePath, MAX_PATH) &&
      SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                 reinterpret_cast<void **>(&graph)))) {
    const HRESULT result = graph->RenderFile(widePath, nullptr);  // what it fails on, Play will say
    if (WarmUpHeld) WarmUpHeld(warmUpCopy, result, warmUpEndAsked);
    graph->Release();
  }
  CoUninitialize();
}

// A render not yet begun when the end is asked is skipped: the Play's own takes its cost.
static DWORD WINAPI WarmUp(void *) {
  char *bytes = static_cast<char *>(HeapAlloc(GetProcessHeap(), 0, WARM_UP_COPY_BYTES));
  if (bytes && !EndAsked() && CopySongStart(bytes) && !EndAsked()) RenderCopy();
  if (bytes) HeapFree(GetProcessHeap(), 0, bytes);
  DeleteFileA(warmUpCopy);  // also what a failed copy left
  return 0;
}

void StartWarmUp() {
  if (warmUpThread) return;
  const int index = WarmUpSongIndex(MusicList.paths, MusicList.count, DecoderFlags.ogg);
  if (index < 0) return;
  char name[WARM_UP_NAME_BYTES];
  WarmUpCopyName(MusicList.paths[index], GetCurrentProcessId(), name, sizeof name);
  const DWORD folder = GetTempPathA(MAX_PATH, warmUpCopy);
  if (folder == 0 || folder + std::strlen(name) >= MAX_PATH) return;
  std::memcpy(warmUpCopy + folder, name, std::strlen(name) + 1);
  std::memcpy(warmUpPath, MusicList.paths[index], PATH_BYTES);
  if (!warmUpEndAsked) warmUpEndAsked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!warmUpEndAsked) return;
  ResetEvent(warmUpEndAsked);
  warmUpThread = CreateThread(nullptr, 0, WarmUp, nullptr, 0, nullptr);
}

// A file that holds its decoder up must not hold the exit, or a Play, up with it: after
// a while the thread is left to end with the process, and its copy is tried once more.
void EndWarmUp() {
  if (!warmUpThread) return;
  SetEvent(warmUpEndAsked);
  if (WaitForSingleObject(warmUpThread, 5000) != WAIT_OBJECT_0) DeleteFileA(warmUpCopy);
  CloseHandle(warmUpThread);
  warmUpThread = nullptr;
}

void ResetSession(HWND mainWindow) {
  StopGraph();
  ReleaseSession();
  CreateSession(mainWindow);
  EnableWindow(NextButton, FALSE);
  EnableWindow(PlayButton, TRUE);
}

// Seconds; 0 when the graph cannot tell, which leaves the bar empty.
static double SongDuration() {
  LONGLONG length = 0;
  if (!PlaybackSession.seeking || FAILED(PlaybackSession.seeking->GetDuration(&length)))
    return 0.0;
  return length * 1e-7;
}

static void FailWith(SongFailure *failure, HWND owner, const char *caption, const char *text) {
  failure->owner = owner;
  failure->caption = caption;
  lstrcpynA(failure->text, text, sizeof failure->text);
}

// A code outside the table is told too (a song deleted after the scan fails with one):
// a failure without a word would leave the music stopped and the old title up.
static void FailWithGraphError(SongFailure *failure, HRESULT result, const char *caption) {
  char message[sizeof failure->text];
  FormatGraphError(result, message, sizeof message);
  FailWith(failure, nullptr, caption, message);
}

void ShowSongFailure(const SongFailure &failure) {
  ShowMessageBox(failure.owner, failure.text, failure.caption, MB_OK);
}

bool OpenSong(const char *path, int cents, SongFailure *failure) {
  WCHAR widePath[MAX_PATH];
  widePath[0] = L'\0';
  MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH);
  widePath[MAX_PATH - 1] = L'\0';  // a conversion that overflows leaves no terminator
  if (IsRefusedOggPath(path, DecoderFlags.ogg)) {
    FailWith(failure, nullptr, nullptr, OggRefusedMessage);
    return false;
  }
  // A Play during the warm-up waits for it rather than rendering beside it: the
  // decoders it has loaded are what makes this render quick.
  EndWarmUp();
  PlaybackSessionRecord &s = PlaybackSession;
  if (s.song) ResetSession(MainWindow);  // a song renders only into an empty graph
  IBaseFilter *renderer = s.graph ? AddAudioRenderer(s.graph) : nullptr;
  HRESULT result = s.graph ? s.graph->RenderFile(widePath, nullptr) : S_OK;
  if (renderer) {
    if (SUCCEEDED(result)) DropUnusedRenderer(s.graph, renderer);
    renderer->Release();
  }
  if (FAILED(result)) {
    FailWithGraphError(failure, result, OpenCaption);
    ResetSession(MainWindow);
    return false;
  }
  s.song = s.graph != nullptr;
  // Without the stage the song plays as if the option were off and the tempo 100; with
  // the option off the stage keeps the pitch, and the rate carries the cents.
  if (PracticeStageWanted()) s.stage = InsertKeepTempoStage(s.graph, KeepTempo ? cents : 0);
  if (s.video) AttachVideo(s.video);
  result = RunGraph();
  if (FAILED(result)) {  // S_FALSE means the graph is still on its way to running
    FailWithGraphError(failure, result, RunCaption);
    ResetSession(MainWindow);
    return false;
  }
  s.duration = SongDuration();
  return true;
}

bool OpenAndRun(const char *path, int cents) {
  SongFailure failure;
  if (OpenSong(path, cents, &failure)) return true;
  ShowSongFailure(failure);
  return false;
}

void ShowGraphError(HRESULT result, const char *caption) {
  SongFailure failure;
  FailWithGraphError(&failure, result, caption);
  ShowSongFailure(failure);
}
