#include "shell/notice_win.h"

#include "shell/layout.h"
#include "shell/shell_win.h"

void ShowNotice(const char *text) {
  HDC dc = GetDC(MainWindow);
  TextOutA(dc, NoticeX(ScreenDpi), 0, text, lstrlenA(text));
  ReleaseDC(MainWindow, dc);
}
