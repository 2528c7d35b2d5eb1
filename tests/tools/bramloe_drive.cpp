// Reaches into a running bramloe.exe from a second process, for the end-to-end tests.
//   bramloe_drive wait                 wait (10 s) for the main window
//   bramloe_drive command <id>         post WM_COMMAND id to the main window
//   bramloe_drive text <id>            print the text of control id (0: the caption)
//   bramloe_drive settext <id> <text>  set the text of control id
//   bramloe_drive watch <ms> [n]       print each new caption, with its time, for ms
//                                      or until n captions have been printed
//   bramloe_drive boxes                print and close every message box it owns
//   bramloe_drive close                close the main window and wait for it to go
//   bramloe_drive playtosound <file>   post Play, print the ms until the first loud
//                                      sample reaches the sound capture file
//   bramloe_drive waittext <id> <text> <ms>  wait until control id reads text; print
//                                      the text it reads at the end
//   bramloe_drive waitchange <id> <text> <ms>  wait until control id no longer reads
//                                      text; print the new one
//   bramloe_drive waitwith <id> <text> <ms>  wait until control id reads text; print
//                                      the caption of that moment (nothing on time-out)
//   bramloe_drive bar                  print the progress bar's black length and the
//                                      frame's width, in pixels read back from the window
//   bramloe_drive barwait <ge|lt> <permille> <ms>  wait until the bar's length is at
//                                      least / below permille of the frame's width;
//                                      print the ms waited (-1 on time-out) and permille
//   bramloe_drive bartrace <ms>        print the time and the bar's permille every 50 ms
//                                      for ms, one pair a line
//   bramloe_drive clickpoint <permille>  print the screen point (x y) that far across
//                                      the progress frame, halfway down
//   bramloe_drive ink                  print the dark pixels and a checksum of the text
//                                      view's client area as drawn
//   bramloe_drive settings <music> <text>  open the settings dialog, print its folders,
//                                      fill in the two folders and press OK
//   bramloe_drive starts <ms>          for ms, print "<ms> start <caption>" each time a
//                                      song starts and "<ms> end" each time one ends
//   bramloe_drive memory               print the player's Windows process id and its
//                                      working set in KiB
//   bramloe_drive rects <id>...        print "x y width height" of each control id in the
//                                      main window's client area (0: the text view),
//                                      then the client area's "width height"
// Texts are printed as the program holds them (code page 932), one a line.
// With BRAMLOE_DRIVER_STARTED naming a file, the driver creates it once it has found
// the window, so a caller can send input only when the driver already looks.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <psapi.h>

#include "shell/layout.h"
#include "app/main_window_win.h"
#include "resources/ids.h"
#include "tools/player_window.h"
#include "tools/first_sound_win.h"

static HWND FindMain() { return FindPlayerWindow(); }

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
static double PlayToSound(HWND main, const char *capturePath) {
  LARGE_INTEGER size = {}, start;
  HANDLE capture = OpenCapture(capturePath, &size);
  if (capture == INVALID_HANDLE_VALUE) return -1;
  QueryPerformanceCounter(&start);
  PostMessageA(main, WM_COMMAND, ID_PLAY, 0);
  double ms = MillisecondsToFirstSound(capture, size, start);
  CloseHandle(capture);
  return ms;
}

static void WaitText(HWND window, const char *wanted, bool equal, int span, char *text,
                     int size) {
  DWORD start = GetTickCount();
  for (;;) {
    TextOf(window, text, size);
    if ((std::strcmp(text, wanted) == 0) == equal) return;
    if (GetTickCount() - start >= static_cast<DWORD>(span)) return;
    Sleep(10);
  }
}

// The caption read before and after the control, the same both times: the control's
// text belongs to that song, not to one started between the two reads.
static bool WaitWith(HWND main, HWND window, const char *wanted, int span, char *caption,
                     int size) {
  DWORD start = GetTickCount();
  char text[1024], after[1024];
  for (;;) {
    TextOf(main, caption, size);
    TextOf(window, text, sizeof text);
    TextOf(main, after, sizeof after);
    if (!std::strcmp(text, wanted) && !std::strcmp(caption, after)) return true;
    if (GetTickCount() - start >= static_cast<DWORD>(span)) return false;
    Sleep(10);
  }
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
static void Ink(HWND main) {
  HWND view = FindWindowExA(main, nullptr, TEXT_VIEW_CLASS, nullptr);
  if (!view) {
    std::printf("no view\n");
    return;
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
}

// Song starts and ends as the Next button shows them: every end of a song resets the
// graph, which disables Next, and every start enables it again. A new caption under an
// enabled Next is an end and a start too quick to be seen. Nothing here sends the
// player a message, so a busy player does not hold the watch up.
static void WatchStarts(HWND main, DWORD span) {
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
}

// The working set is the one memory figure Wine reports truly for another process.
static int PrintMemory(HWND main) {
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
static int FillSettings(HWND main, const char *music, const char *text) {
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
               reinterpret_cast<LPARAM>(music));
  SendMessageA(GetDlgItem(dialog, IDC_TEXT_FOLDER), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(text));
  PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  for (int waited = 0; IsWindow(dialog) && waited < 20000; waited += 20) Sleep(20);
  std::printf(IsWindow(dialog) ? "still open\n" : "closed\n");
  return IsWindow(dialog) ? 1 : 0;
}

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  const char *verb = argv[1];
  HWND main = nullptr;
  for (int waited = 0; !(main = FindMain()) && waited < 10000; waited += 50) Sleep(50);
  if (!main) {
    std::printf("no window\n");
    return 1;
  }
  char started[MAX_PATH];
  if (GetEnvironmentVariableA("BRAMLOE_DRIVER_STARTED", started, sizeof started))
    CloseHandle(CreateFileA(started, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  char text[1024];
  if (!std::strcmp(verb, "wait")) {
    std::printf("window\n");
  } else if (!std::strcmp(verb, "command") && argc > 2) {
    PostMessageA(main, WM_COMMAND, std::atoi(argv[2]), 0);
  } else if (!std::strcmp(verb, "text") && argc > 2) {
    TextOf(Control(main, std::atoi(argv[2])), text, sizeof text);
    std::printf("%s\n", text);
  } else if (!std::strcmp(verb, "settext") && argc > 3) {
    SendMessageA(Control(main, std::atoi(argv[2])), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(argv[3]));
  } else if (!std::strcmp(verb, "watch") && argc > 2) {
    DWORD start = GetTickCount(), span = std::atoi(argv[2]);
    int wanted = argc > 3 ? std::atoi(argv[3]) : 0, printed = 0;
    char last[1024] = "";
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
  } else if (!std::strcmp(verb, "playtosound") && argc > 2) {
    std::printf("%.1f\n", PlayToSound(main, argv[2]));
  } else if ((!std::strcmp(verb, "waittext") || !std::strcmp(verb, "waitchange")) &&
             argc > 4) {
    WaitText(Control(main, std::atoi(argv[2])), argv[3], !std::strcmp(verb, "waittext"),
             std::atoi(argv[4]), text, sizeof text);
    std::printf("%s\n", text);
  } else if (!std::strcmp(verb, "waitwith") && argc > 4) {
    if (WaitWith(main, Control(main, std::atoi(argv[2])), argv[3], std::atoi(argv[4]), text,
                 sizeof text))
      std::printf("%s\n", text);
  } else if (!std::strcmp(verb, "bar")) {
    LayoutEdges edges = Progress(main);
    std::printf("%d %d\n", BarLength(main, edges), edges.right - edges.left);
  } else if (!std::strcmp(verb, "barwait") && argc > 4) {
    LayoutEdges edges = Progress(main);
    bool atLeast = !std::strcmp(argv[2], "ge");
    int wanted = std::atoi(argv[3]), span = std::atoi(argv[4]), permille = 0;
    DWORD start = GetTickCount(), waited = 0;
    for (;;) {
      permille = Permille(BarLength(main, edges), edges.right - edges.left);
      waited = GetTickCount() - start;
      if ((permille >= wanted) == atLeast || waited >= static_cast<DWORD>(span)) break;
      Sleep(5);
    }
    bool met = (permille >= wanted) == atLeast;
    std::printf("%ld %d\n", met ? static_cast<long>(waited) : -1L, permille);
  } else if (!std::strcmp(verb, "bartrace") && argc > 2) {
    LayoutEdges edges = Progress(main);
    DWORD start = GetTickCount(), span = std::atoi(argv[2]);
    for (DWORD at = 0; at <= span; at = GetTickCount() - start) {
      std::printf("%lu %d\n", at, Permille(BarLength(main, edges), edges.right - edges.left));
      std::fflush(stdout);
      Sleep(50);
    }
  } else if (!std::strcmp(verb, "clickpoint") && argc > 2) {
    LayoutEdges edges = Progress(main);
    POINT at = {edges.left + (edges.right - edges.left) * std::atoi(argv[2]) / 1000,
                (edges.top + edges.bottom) / 2};
    ClientToScreen(main, &at);
    std::printf("%ld %ld\n", at.x, at.y);
  } else if (!std::strcmp(verb, "ink")) {
    Ink(main);
  } else if (!std::strcmp(verb, "settings") && argc > 3) {
    return FillSettings(main, argv[2], argv[3]);
  } else if (!std::strcmp(verb, "starts") && argc > 2) {
    WatchStarts(main, std::strtoul(argv[2], nullptr, 10));
  } else if (!std::strcmp(verb, "memory")) {
    return PrintMemory(main);
  } else if (!std::strcmp(verb, "rects") && argc > 2) {
    for (int i = 2; i < argc; i++) {
      const int id = std::atoi(argv[i]);
      HWND child = id ? GetDlgItem(main, id) : FindWindowExA(main, nullptr, TEXT_VIEW_CLASS, nullptr);
      RECT r = {};
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, main, reinterpret_cast<POINT *>(&r), 2);
      std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    RECT client = {};
    GetClientRect(main, &client);
    std::printf("%ld %ld\n", client.right, client.bottom);
  } else if (!std::strcmp(verb, "boxes")) {
    EnumWindows(CloseBox, reinterpret_cast<LPARAM>(main));
  } else if (!std::strcmp(verb, "close")) {
    PostMessageA(main, WM_CLOSE, 0, 0);
    for (int waited = 0; IsWindow(main) && waited < 10000; waited += 50) Sleep(50);
    std::printf(IsWindow(main) ? "still open\n" : "closed\n");
  } else {
    return 2;
  }
  return 0;
}
