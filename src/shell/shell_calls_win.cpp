#include "shell/shell_calls_win.h"

// shell32.dll, loaded the first time one of its functions is asked for; it stays loaded.
static HMODULE Shell32Module() {
  static HMODULE shell = LoadLibraryA("shell32.dll");
  return shell;
}

template <typename Function>
static Function ShellFunction(const char *name) {
  FARPROC address = Shell32Module() ? GetProcAddress(Shell32Module(), name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void *>(address));
}

UINT QueryDroppedFile(HDROP drop, UINT index, char *name, UINT bytes) {
  static auto query = ShellFunction<UINT(WINAPI *)(HDROP, UINT, LPSTR, UINT)>("DragQueryFileA");
  return query ? query(drop, index, name, bytes) : 0;
}

void FinishDrop(HDROP drop) {
  static auto finish = ShellFunction<void(WINAPI *)(HDROP)>("DragFinish");
  if (finish) finish(drop);
}

LPITEMIDLIST BrowseForFolder(BROWSEINFOA *info) {
  static auto browse = ShellFunction<LPITEMIDLIST(WINAPI *)(BROWSEINFOA *)>("SHBrowseForFolderA");
  return browse ? browse(info) : nullptr;
}

BOOL PathFromFolderItem(LPCITEMIDLIST item, char *path) {
  static auto toPath = ShellFunction<BOOL(WINAPI *)(LPCITEMIDLIST, LPSTR)>("SHGetPathFromIDListA");
  return toPath ? toPath(item, path) : FALSE;
}

LPWSTR *SplitCommandLine(LPCWSTR line, int *count) {
  static auto split = ShellFunction<LPWSTR *(WINAPI *)(LPCWSTR, int *)>("CommandLineToArgvW");
  return split ? split(line, count) : nullptr;
}

void AcceptDroppedFiles(HWND window, bool accept) {
  LONG_PTR style = GetWindowLongPtrA(window, GWL_EXSTYLE);
  style = accept ? style | WS_EX_ACCEPTFILES : style & ~static_cast<LONG_PTR>(WS_EX_ACCEPTFILES);
  SetWindowLongPtrA(window, GWL_EXSTYLE, style);
}
