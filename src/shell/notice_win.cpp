#include "shell/notice_win.h"

#include "resources/ids.h"
#include "shell/layout.h"
#include "shell/shell_win.h"

// Nine ideographic spaces and one ASCII space: covers the longest notice, the timing's
// progress ("タイミング 200/200"), and one byte more.
const char NoticeBlank[] = "　　　　　　　　　 ";
// Long enough to read a few words, and gone before the next press is likely.
const UINT NoticeMs = 1000;

void ShowNotice(const char *text) {
  HDC dc = GetDC(MainWindow);
  TextOutA(dc, NoticeX(ScreenDpi), 0, text, lstrlenA(text));
  ReleaseDC(MainWindow, dc);
}

// The bytes of the passing notice on screen: a longer one than the blank covers gets
// more ideographic spaces.
static int shownBytes = 0;

static void CALLBACK BlankNotice(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  ShowNotice(NoticeBlank);
  const int blank = sizeof NoticeBlank - 1;
  if (shownBytes < blank) return;
  char wider[128];
  const int pairs = (shownBytes < 120 ? shownBytes : 120) / 2 + 1;
  for (int i = 0; i < pairs; i++) lstrcpynA(wider + 2 * i, NoticeBlank, 3);  // one space each
  ShowNotice(wider);
}

void ShowPassingNotice(const char *text) {
  shownBytes = lstrlenA(text);
  ShowNotice(text);
  SetTimer(MainWindow, ID_NOTICE_TIMER, NoticeMs, BlankNotice);
}

RECT NoticeArea() {
  RECT client = {0, 0, 0, 0};
  GetClientRect(MainWindow, &client);
  HDC dc = GetDC(MainWindow);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  ReleaseDC(MainWindow, dc);
  return RECT{NoticeX(ScreenDpi), 0, client.right, metrics.tmHeight};
}
