// The one driver of a running bramloe.exe from a second process, for the end-to-end
// tests, the benchmarks and the run command: bramloe_drive VERB [ARGUMENTS...].
// Controls and commands are named as ids.h names them (ID_PLAY, ID_CENTS, IDOK, ...);
// CAPTION names the main window itself. Run without a verb for the list of verbs.
// Texts are printed as the program holds them (code page 932), one a line. Exit status
// 0 on success, 1 when the window (or what was waited for) is not there, 2 on a wrong
// call. With BRAMLOE_PLAYER_PID set, only that process's window counts; with
// BRAMLOE_DRIVER_STARTED naming a file, the driver creates it once it looks (for the
// waiting verbs, as it starts), so a caller can act only when the driver already looks.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <psapi.h>

#include "shell/layout.h"
#include "app/main_window_win.h"
#include "resources/ids.h"
#include "tools/first_sound_win.h"

struct NamedId {
  const char *name;
  int id;
};

#define NAMED(id) {#id, id}
static const NamedId Names[] = {
    {"CAPTION", 0},          NAMED(ID_EXIT),           NAMED(ID_ABOUT),
    NAMED(ID_PLAY),          NAMED(ID_NEXT),           NAMED(ID_CENTS),
    NAMED(ID_RATE),          NAMED(ID_SETTINGS),       NAMED(ID_EDIT_TEXT),
    NAMED(ID_TOP),           NAMED(ID_OCTAVE_UP),      NAMED(ID_OCTAVE_DOWN),
    NAMED(ID_RELOAD_TEXT),   NAMED(ID_CENTS_UP_25),    NAMED(ID_CENTS_DOWN_25),
    NAMED(ID_CENTS_UP_5),    NAMED(ID_CENTS_DOWN_5),   NAMED(ID_MEM),
    NAMED(ID_STOP),          NAMED(ID_KEEP_TEMPO),     NAMED(IDOK),
    NAMED(IDCANCEL),         NAMED(IDC_TEXT_FOLDER),   NAMED(IDC_MUSIC_FOLDER),
    NAMED(IDC_EDITOR),       NAMED(IDC_BROWSE_MUSIC),  NAMED(IDC_BROWSE_TEXT),
    NAMED(IDC_SKIP),         NAMED(IDC_AIMAI),         NAMED(ID_TEMPO_DOWN),
    NAMED(ID_TEMPO_UP),      NAMED(ID_LOOP),           NAMED(ID_LYRICS_SOONER),
    NAMED(ID_LYRICS_LATER),  NAMED(ID_LYRICS_WINDOW),  NAMED(ID_LYRICS_UNLOCK),
    NAMED(ID_LYRICS_LOCK),
};
#undef NAMED

// The ID a name stands for; -1 for a name ids.h does not have.
static int IdOf(const char *name) {
  for (const NamedId &n : Names)
    if (!std::strcmp(n.name, name)) return n.id;
  std::fprintf(stderr, "bramloe_drive: no control or command named %s\n", name);
  return -1;
}

static const char *NameOf(int id) {
  for (const NamedId &n : Names)
    if (n.id == id) return n.name;
  return "?";
}

struct PlayerWindowSearch {
  DWORD process;
  HWND found;
};

static BOOL CALLBACK TakePlayerWindow(HWND window, LPARAM param) {
  PlayerWindowSearch *search = reinterpret_cast<PlayerWindowSearch *>(param);
  char className[64];
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !GetClassNameA(window, className, sizeof className) ||
      lstrcmpA(className, MAIN_WINDOW_CLASS) != 0)
    return TRUE;
  search->found = window;
  return FALSE;
}

// The main window of the player a caller started (BRAMLOE_PLAYER_PID, the Windows
// process id bramloe_in_profile writes), so that another player's window on the same
// desktop is never taken for it; else any player's.
static HWND FindMain() {
  char pid[32];
  if (!GetEnvironmentVariableA("BRAMLOE_PLAYER_PID", pid, sizeof pid))
    return FindWindowA(MAIN_WINDOW_CLASS, nullptr);
  PlayerWindowSearch search = {static_cast<DWORD>(std::strtoul(pid, nullptr, 10)), nullptr};
  EnumWindows(TakePlayerWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The main window once it shows (present), or nullptr once it is gone; after ms the
// state it was in.
static HWND WaitForMain(bool present, DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindMain();
    if (present ? (window && IsWindowVisible(window)) : !window) return window;
    if (GetTickCount() - start >= ms) return present ? nullptr : window;
    Sleep(5);
  }
}

static void SayStarted() {
  char started[MAX_PATH];
  if (GetEnvironmentVariableA("BRAMLOE_DRIVER_STARTED", started, sizeof started))
    CloseHandle(CreateFileA(started, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

static HWND Control(HWND main, int id) { return id ? GetDlgItem(main, id) : main; }

// WM_GETTEXT is carried across processes; GetWindowTextA would not read an edit.
static void TextOf(HWND window, char *text, int size) {
  text[0] = '\0';
  SendMessageTimeoutA(window, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                      5000, nullptr);
}

static BOOL CALLBACK CloseBox(HWND window, LPARAM main) {
  char className[64];
  GetClassNameA(window, className, sizeof className);
  if (std::strcmp(className, "#32770") != 0 || GetWindow(window, GW_OWNER) != (HWND)main)
    return TRUE;
  char caption[256], text[1024];
  GetWindowTextA(window, caption, sizeof caption);
  GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
  std::printf("box %s: %s\n", caption, text);
  PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

// Milliseconds from posting Play to the first sample above a tenth of full scale in
// the capture; -1 after 20 s.
static int VerbPlayToSound(HWND main, int, char **a) {
  LARGE_INTEGER size = {}, start;
  double ms = -1;
  HANDLE capture = OpenCapture(a[0], &size);
  if (capture != INVALID_HANDLE_VALUE) {
    QueryPerformanceCounter(&start);
    PostMessageA(main, WM_COMMAND, ID_PLAY, 0);
    ms = MillisecondsToFirstSound(capture, size, start);
    CloseHandle(capture);
  }
  std::printf("%.1f\n", ms);
  return 0;
}

// Waits until the control reads (equal) or no longer reads TEXT; prints what it reads.
static int WaitForText(HWND main, int id, char **a, bool equal) {
  DWORD start = GetTickCount(), span = std::strtoul(a[2], nullptr, 10);
  char text[1024];
  for (;;) {
    TextOf(Control(main, id), text, sizeof text);
    if ((std::strcmp(text, a[1]) == 0) == equal || GetTickCount() - start >= span) break;
    Sleep(10);
  }
  std::printf("%s\n", text);
  return 0;
}
static int VerbWaitText(HWND main, int id, char **a) { return WaitForText(main, id, a, true); }
static int VerbWaitChange(HWND main, int id, char **a) { return WaitForText(main, id, a, false); }

// The caption read before and after the control, the same both times: the control's
// text belongs to that song, not to one started between the two reads. Prints that
// caption (nothing on time-out).
static int VerbWaitWith(HWND main, int id, char **a) {
  DWORD start = GetTickCount(), span = std::strtoul(a[2], nullptr, 10);
  char caption[1024], text[1024], after[1024];
  for (;;) {
    TextOf(main, caption, sizeof caption);
    TextOf(Control(main, id), text, sizeof text);
    TextOf(main, after, sizeof after);
    if (!std::strcmp(text, a[1]) && !std::strcmp(caption, after)) break;
    if (GetTickCount() - start >= span) return 0;
    Sleep(10);
  }
  std::printf("%s\n", caption);
  return 0;
}

// The progress frame in the main window's client pixels, from the same font measures
// and formulas the program lays itself out with.
static LayoutEdges Progress(HWND main) {
  MeasureLayoutMetrics();
  RECT client;
  GetClientRect(main, &client);
  return ProgressEdges(LayoutMetrics.charWidth, LayoutMetrics.halfLineHeight, client.right,
                       client.bottom);
}

// The bar is a black run from the frame's left edge along its top rows; a row just
// below the frame's top border is read until the first pixel that is not black.
static int BarLength(HWND main, const LayoutEdges &edges) {
  HDC dc = GetDC(main);
  int y = edges.top + 2, x = edges.left;
  while (x < edges.right && GetPixel(dc, x, y) == RGB(0, 0, 0)) x++;
  ReleaseDC(main, dc);
  return x - edges.left;
}

static int Permille(int part, int whole) { return whole > 0 ? part * 1000 / whole : 0; }

// Ink of the text view: dark pixels of its area and a checksum of where they are. They
// are read through the main window's device context, which covers its children.
static int VerbInk(HWND main, int, char **) {
  HWND view = FindWindowExA(main, nullptr, TEXT_VIEW_CLASS, nullptr);
  if (!view) {
    std::printf("no view\n");
    return 1;
  }
  RECT area;
  GetClientRect(view, &area);
  MapWindowPoints(view, main, reinterpret_cast<POINT *>(&area), 2);
  int width = area.right - area.left, height = area.bottom - area.top;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void *bits = nullptr;
  HDC dc = GetDC(main), copy = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ kept = SelectObject(copy, bitmap);
  BitBlt(copy, 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
  GdiFlush();
  unsigned long dark = 0, sum = 0;
  const unsigned char *pixel = static_cast<const unsigned char *>(bits);
  for (int y = 0; bits && y < height; y++)
    for (int x = 0; x < width; x++, pixel += 4) {
      if (pixel[0] + pixel[1] + pixel[2] >= 384) continue;
      dark++;
      sum = sum * 31 + static_cast<unsigned long>(y * 4096 + x);
    }
  SelectObject(copy, kept);
  DeleteObject(bitmap);
  DeleteDC(copy);
  ReleaseDC(main, dc);
  std::printf("%lu %08lx\n", dark, sum & 0xFFFFFFFFul);
  return 0;
}

// Song starts and ends as the Next button shows them: every end of a song resets the
// graph, which disables Next, and every start enables it again. A new caption under an
// enabled Next is an end and a start too quick to be seen. Nothing here sends the
// player a message, so a busy player does not hold the watch up.
static int VerbStarts(HWND main, int, char **a) {
  DWORD span = std::strtoul(a[0], nullptr, 10);
  HWND next = GetDlgItem(main, ID_NEXT);
  DWORD start = GetTickCount();
  bool enabled = IsWindowEnabled(next) != 0;
  char caption[1024], shown[1024];
  GetWindowTextA(main, shown, sizeof shown);
  while (GetTickCount() - start < span && IsWindow(main)) {
    bool now = IsWindowEnabled(next) != 0;
    GetWindowTextA(main, caption, sizeof caption);
    bool missed = now && enabled && std::strcmp(caption, shown) != 0;
    if (missed || (now && !enabled)) {
      if (missed) std::printf("%lu end\n", GetTickCount() - start);
      std::printf("%lu start %s\n", GetTickCount() - start, caption);
      std::strcpy(shown, caption);
    } else if (!now && enabled) {
      std::printf("%lu end\n", GetTickCount() - start);
    }
    std::fflush(stdout);
    enabled = now;
    Sleep(2);
  }
  return 0;
}

// The working set is the one memory figure Wine reports truly for another process.
static int VerbMemory(HWND main, int, char **) {
  DWORD id = 0;
  GetWindowThreadProcessId(main, &id);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  bool read = process && GetProcessMemoryInfo(process, &counters, sizeof counters);
  if (process) CloseHandle(process);
  if (!read) return 1;
  std::printf("%lu %llu\n", id, static_cast<unsigned long long>(counters.WorkingSetSize / 1024));
  return 0;
}

struct DialogSearch {
  HWND owner, found;
};

static BOOL CALLBACK FindSettingDialog(HWND window, LPARAM lParam) {
  DialogSearch *search = reinterpret_cast<DialogSearch *>(lParam);
  char className[64], caption[64];
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, caption, sizeof caption);
  if (std::strcmp(className, "#32770") == 0 && std::strcmp(caption, "Setting") == 0 &&
      GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The dialog is modal inside the player: it is opened by a posted command, so that this
// process is not held until it closes, and OK is pressed by a posted click.
static int VerbSettings(HWND main, int, char **a) {
  PostMessageA(main, WM_COMMAND, ID_SETTINGS, 0);
  DialogSearch search = {main, nullptr};
  for (int waited = 0; waited < 20000 && !search.found; waited += 20) {
    EnumWindows(FindSettingDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(20);
  }
  if (!search.found) {
    std::printf("no dialog\n");
    return 1;
  }
  HWND dialog = search.found;
  char was[1024];
  TextOf(GetDlgItem(dialog, IDC_MUSIC_FOLDER), was, sizeof was);
  std::printf("music %s\n", was);
  TextOf(GetDlgItem(dialog, IDC_TEXT_FOLDER), was, sizeof was);
  std::printf("text %s\n", was);
  SendMessageA(GetDlgItem(dialog, IDC_MUSIC_FOLDER), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(a[0]));
  SendMessageA(GetDlgItem(dialog, IDC_TEXT_FOLDER), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(a[1]));
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  for (int waited = 0; IsWindow(dialog) && waited < 20000; waited += 20) Sleep(20);
  std::printf(IsWindow(dialog) ? "still open\n" : "closed\n");
  return IsWindow(dialog) ? 1 : 0;
}


static unsigned long Number(const char *text) { return std::strtoul(text, nullptr, 10); }

static int PrintTitle(HWND main) {
  char title[1024];
  TextOf(main, title, sizeof title);
  std::printf("%s\n", title);
  return 0;
}

static int VerbWait(HWND, int, char **a) {
  HWND main = WaitForMain(true, a[0] ? Number(a[0]) : 10000);
  return main ? PrintTitle(main) : 1;
}

// A sent message is taken only once start-up is over and the loop fetches messages.
static int VerbReady(HWND, int, char **a) {
  DWORD ms = a[0] ? Number(a[0]) : 10000;
  HWND main = WaitForMain(true, ms);
  DWORD_PTR answer = 0;
  if (!main || !SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, ms, &answer)) return 1;
  return PrintTitle(main);
}

static int VerbGone(HWND, int, char **a) { return WaitForMain(false, Number(a[0])) ? 1 : 0; }

static int VerbTitle(HWND main, int, char **) { return PrintTitle(main); }

static int VerbFocus(HWND main, int, char **) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) return 1;
  std::printf("%s\n", info.hwndFocus ? NameOf(GetDlgCtrlID(info.hwndFocus)) : "none");
  return 0;
}

static int VerbCommand(HWND main, int id, char **) {
  return PostMessageA(main, WM_COMMAND, id, 0) ? 0 : 1;
}

static int VerbText(HWND main, int id, char **) {
  char text[1024];
  TextOf(Control(main, id), text, sizeof text);
  std::printf("%s\n", text);
  return 0;
}

static int VerbSetText(HWND main, int id, char **a) {
  SendMessageA(Control(main, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[1]));
  return 0;
}

static int VerbWatch(HWND main, int, char **a) {
  DWORD start = GetTickCount(), span = Number(a[0]);
  int wanted = a[1] ? std::atoi(a[1]) : 0, printed = 0;
  char text[1024], last[1024] = "";
  while (GetTickCount() - start < span && (!wanted || printed < wanted)) {
    TextOf(main, text, sizeof text);
    if (std::strcmp(text, last) != 0) {
      std::printf("%lu %s\n", GetTickCount() - start, text);
      std::fflush(stdout);
      std::strcpy(last, text);
      printed++;
    }
    Sleep(20);
  }
  return 0;
}

static int VerbBar(HWND main, int, char **) {
  LayoutEdges edges = Progress(main);
  std::printf("%d %d\n", BarLength(main, edges), edges.right - edges.left);
  return 0;
}

static int VerbBarWait(HWND main, int, char **a) {
  LayoutEdges edges = Progress(main);
  bool atLeast = !std::strcmp(a[0], "ge");
  int wanted = std::atoi(a[1]), span = std::atoi(a[2]), permille = 0;
  DWORD start = GetTickCount(), waited = 0;
  for (;;) {
    permille = Permille(BarLength(main, edges), edges.right - edges.left);
    waited = GetTickCount() - start;
    if ((permille >= wanted) == atLeast || waited >= static_cast<DWORD>(span)) break;
    Sleep(5);
  }
  bool met = (permille >= wanted) == atLeast;
  std::printf("%ld %d\n", met ? static_cast<long>(waited) : -1L, permille);
  return 0;
}

static int VerbBarTrace(HWND main, int, char **a) {
  LayoutEdges edges = Progress(main);
  DWORD start = GetTickCount(), span = Number(a[0]);
  for (DWORD at = 0; at <= span; at = GetTickCount() - start) {
    std::printf("%lu %d\n", at, Permille(BarLength(main, edges), edges.right - edges.left));
    std::fflush(stdout);
    Sleep(50);
  }
  return 0;
}

static int VerbClickPoint(HWND main, int, char **a) {
  LayoutEdges edges = Progress(main);
  POINT at = {edges.left + (edges.right - edges.left) * std::atoi(a[0]) / 1000,
              (edges.top + edges.bottom) / 2};
  ClientToScreen(main, &at);
  std::printf("%ld %ld\n", at.x, at.y);
  return 0;
}

static int VerbRects(HWND main, int, char **a) {
  for (; *a; a++) {
    HWND child = nullptr;
    if (!std::strcmp(*a, "TEXT_VIEW")) {
      child = FindWindowExA(main, nullptr, TEXT_VIEW_CLASS, nullptr);
    } else {
      const int id = IdOf(*a);
      if (id < 0) return 2;
      child = GetDlgItem(main, id);
    }
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT *>(&r), 2);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  RECT client = {};
  GetClientRect(main, &client);
  std::printf("%ld %ld\n", client.right, client.bottom);
  return 0;
}

static int VerbBoxes(HWND main, int, char **) {
  EnumWindows(CloseBox, reinterpret_cast<LPARAM>(main));
  return 0;
}

static int VerbClose(HWND main, int, char **) {
  PostMessageA(main, WM_CLOSE, 0, 0);
  for (int waited = 0; IsWindow(main) && waited < 10000; waited += 50) Sleep(50);
  std::printf(IsWindow(main) ? "still open\n" : "closed\n");
  return IsWindow(main) ? 1 : 0;
}

// The lyrics window of the player whose main window is given: same process, own class.
static HWND FindLyricsWindow(HWND main) {
  DWORD process = 0;
  GetWindowThreadProcessId(main, &process);
  for (HWND w = FindWindowExA(nullptr, nullptr, LYRICS_WINDOW_CLASS, nullptr); w;
       w = FindWindowExA(nullptr, w, LYRICS_WINDOW_CLASS, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == process) return w;
  }
  return nullptr;
}

static int VerbLyrics(HWND main, int, char **) {
  HWND lyrics = FindLyricsWindow(main);
  if (!lyrics || !IsWindowVisible(lyrics)) {
    std::printf("hidden\n");
    return 0;
  }
  RECT r = {};
  GetWindowRect(lyrics, &r);
  const LONG_PTR style = GetWindowLongPtrA(lyrics, GWL_EXSTYLE);
  std::printf("%ld %ld %ld %ld %s\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
              style & WS_EX_TRANSPARENT ? "locked" : "unlocked");
  return 0;
}

// As the end of a drag by the user: the new place, then the end of the move.
static int VerbLyricsMove(HWND main, int, char **a) {
  HWND lyrics = FindLyricsWindow(main);
  if (!lyrics) return 1;
  SetWindowPos(lyrics, nullptr, std::atoi(a[0]), std::atoi(a[1]), std::atoi(a[2]), std::atoi(a[3]),
               SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(lyrics, WM_EXITSIZEMOVE, 0, 0);
  return 0;
}

struct Verb {
  const char *name, *arguments, *does;
  int least;       // arguments it needs
  bool waitsSelf;  // finds (or misses) the window by its own wait
  int (*run)(HWND main, int id, char **arguments);
};

static const Verb Verbs[] = {
    {"wait", "[MS]", "wait up to MS (10 s) for the main window to show; print its title", 0, true, VerbWait},
    {"ready", "[MS]", "as wait, and until the message loop answers: start-up is over", 0, true, VerbReady},
    {"gone", "MS", "wait up to MS for the main window to disappear", 1, true, VerbGone},
    {"title", "", "print the main window's title", 0, false, VerbTitle},
    {"focus", "", "print the name of the control that has the focus", 0, false, VerbFocus},
    {"command", "NAME", "post WM_COMMAND NAME to the main window", 1, false, VerbCommand},
    {"text", "NAME", "print the text of control NAME", 1, false, VerbText},
    {"settext", "NAME TEXT", "set the text of control NAME", 2, false, VerbSetText},
    {"watch", "MS [N]", "print each new title with its time, for MS or N titles", 1, false, VerbWatch},
    {"waittext", "NAME TEXT MS", "wait until NAME reads TEXT; print what it reads then", 3, false, VerbWaitText},
    {"waitchange", "NAME TEXT MS", "wait until NAME no longer reads TEXT; print it", 3, false, VerbWaitChange},
    {"waitwith", "NAME TEXT MS", "wait until NAME reads TEXT; print the title of then", 3, false, VerbWaitWith},
    {"playtosound", "FILE", "post Play; print the ms to the first loud sample in FILE", 1, false, VerbPlayToSound},
    {"bar", "", "print the progress bar's length and the frame's width, in pixels", 0, false, VerbBar},
    {"barwait", "ge|lt PERMILLE MS", "wait for the bar at least / below PERMILLE; print ms (-1) and it", 3, false, VerbBarWait},
    {"bartrace", "MS", "print the time and the bar's permille every 50 ms for MS", 1, false, VerbBarTrace},
    {"clickpoint", "PERMILLE", "print the screen point that far across the progress frame", 1, false, VerbClickPoint},
    {"ink", "", "print the dark pixels and a checksum of the text view as drawn", 0, false, VerbInk},
    {"settings", "MUSIC TEXT", "open the settings dialog, print its folders, fill them in, OK", 2, false, VerbSettings},
    {"starts", "MS", "for MS, print \"<ms> start <title>\" and \"<ms> end\" as songs go", 1, false, VerbStarts},
    {"memory", "", "print the player's Windows process id and working set in KiB", 0, false, VerbMemory},
    {"rects", "NAME...", "print x y width height of each NAME (TEXT_VIEW too), then the client size", 1, false, VerbRects},
    {"boxes", "", "print and close every message box the main window owns", 0, false, VerbBoxes},
    {"lyrics", "", "print x y width height and locked or unlocked of the lyrics window, or hidden", 0, false, VerbLyrics},
    {"lyricsmove", "X Y W H", "move the lyrics window as a drag by the user would", 4, false, VerbLyricsMove},
    {"close", "", "close the main window; print closed (or still open after 10 s)", 0, false, VerbClose},
};

static int Usage() {
  std::fprintf(stderr, "usage: bramloe_drive VERB [ARGUMENTS]\n");
  for (const Verb &v : Verbs)
    std::fprintf(stderr, "  %-11s %-18s %s\n", v.name, v.arguments, v.does);
  return 2;
}

int main(int argc, char **argv) {
  const Verb *verb = nullptr;
  for (const Verb &v : Verbs)
    if (argc > 1 && !std::strcmp(v.name, argv[1])) verb = &v;
  if (!verb || argc - 2 < verb->least) return Usage();
  char **arguments = argv + 2;  // argv ends with a null pointer: optional ones read as null
  // A name ids.h lacks is a wrong call, said at once rather than after the wait.
  int id = std::strncmp(verb->arguments, "NAME", 4) ? 0 : IdOf(arguments[0]);
  if (id < 0) return 2;
  if (verb->waitsSelf) {
    SayStarted();
    return verb->run(nullptr, 0, arguments);
  }
  HWND main = WaitForMain(true, 10000);
  if (!main) {
    std::printf("no window\n");
    return 1;
  }
  SayStarted();
  return verb->run(main, id, arguments);
}
