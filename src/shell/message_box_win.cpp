#include "shell/message_box_win.h"

MessageBoxHookProc MessageBoxHook;

int ShowMessageBox(HWND owner, const char *text, const char *caption, UINT type) {
  if (MessageBoxHook) return MessageBoxHook(owner, text, caption, type);
  return MessageBoxA(owner, text, caption, type);
}
