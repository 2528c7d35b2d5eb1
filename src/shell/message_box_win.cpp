#include "shell/message_box_win.h"

#include "resources/ids.h"
#include "shell/shell_win.h"

MessageBoxHookProc MessageBoxHook;

static int openBoxes;
static bool notifyOnClose;

int ShowMessageBox(HWND owner, const char *text, const char *caption, UINT type) {
  openBoxes++;
  const int result = MessageBoxHook ? MessageBoxHook(owner, text, caption, type)
                                    : MessageBoxA(owner, text, caption, type);
  // Posted, not sent: what waits for the box is done once the handler that showed it
  // has returned, so the code after the box never runs under it.
  if (--openBoxes == 0 && notifyOnClose) {
    notifyOnClose = false;
    if (MainWindow) PostMessageA(MainWindow, WM_BOXES_CLOSED, 0, 0);
  }
  return result;
}

bool MessageBoxOpen() { return openBoxes > 0; }

void NotifyWhenBoxesClose() { notifyOnClose = true; }
