#include "shell/notice_win.h"

#include "shell/shell_win.h"

void ShowNotice(const char *text) {
  HDC dc = GetDC(MainWindow);
  TextOutA(dc, 330, 0, text, lstrlenA(text));
  ReleaseDC(MainWindow, dc);
}
