// Reaches into a running bramloe.exe from a second process, for the end-to-end tests.
//   bramloe_drive wait                 wait (10 s) for the main window
//   bramloe_drive command <id>         post WM_COMMAND id to the main window
//   bramloe_drive text <id>            print the text of control id (0: the caption)
//   bramloe_drive settext <id> <text>  set the text of control id
//   bramloe_drive watch <ms>           print each new caption, with its time, for ms
//   bramloe_drive boxes                print and close every message box it owns
//   bramloe_drive close                close the main window and wait for it to go
//   bramloe_drive playtosound <file>   post Play, print the ms until the first loud
//                                      sample reaches the sound capture file
// Texts are printed as the program holds them (code page 932), one a line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resources/ids.h"

static HWND FindMain() { return FindWindowA(MAIN_WINDOW_CLASS, nullptr); }

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
// the capture (16-bit samples at even offsets of the file); -1 after 20 s.
static double PlayToSound(HWND main, const char *capturePath) {
  HANDLE capture = CreateFileA(capturePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
  if (capture == INVALID_HANDLE_VALUE) return -1;
  LARGE_INTEGER offset, frequency, start, now;
  GetFileSizeEx(capture, &offset);
  offset.QuadPart &= ~1LL;
  SetFilePointerEx(capture, offset, nullptr, FILE_BEGIN);
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  PostMessageA(main, WM_COMMAND, ID_PLAY, 0);
  static char chunk[1 << 16];
  DWORD got = 0, carry = 0;
  for (;;) {
    QueryPerformanceCounter(&now);
    double ms = (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
    if (ms > 20000) break;
    if (!ReadFile(capture, chunk + carry, sizeof chunk - carry, &got, nullptr) || !got) {
      Sleep(1);
      continue;
    }
    DWORD bytes = carry + got;
    for (DWORD i = 0; i + 1 < bytes; i += 2) {
      short sample = static_cast<short>((unsigned char)chunk[i] | (chunk[i + 1] << 8));
      if (sample > 3276 || sample < -3276) {
        CloseHandle(capture);
        return ms;
      }
    }
    carry = bytes & 1;
    if (carry) chunk[0] = chunk[bytes - 1];
  }
  CloseHandle(capture);
  return -1;
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
    char last[1024] = "";
    while (GetTickCount() - start < span) {
      TextOf(main, text, sizeof text);
      if (std::strcmp(text, last) != 0) {
        std::printf("%lu %s\n", GetTickCount() - start, text);
        std::fflush(stdout);
        std::strcpy(last, text);
      }
      Sleep(20);
    }
  } else if (!std::strcmp(verb, "playtosound") && argc > 2) {
    std::printf("%.1f\n", PlayToSound(main, argv[2]));
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
