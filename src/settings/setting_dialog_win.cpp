// The settings dialog: shows the Settings record, and on OK stores it and ends with
// IDOK, for its caller to rescan the folders. Esc and the close box store nothing.
#include "settings/setting_dialog_win.h"

#include "resources/ids.h"
#include "settings/settings.h"
#include "settings/settings_win.h"
#include "shell/shell_calls_win.h"

FolderPickerProc FolderPicker = nullptr;

namespace {

const char PICKER_TITLE[] = "フォルダの選択";

bool PickFolderWithShell(BROWSEINFOA *info, char *path) {
  LPITEMIDLIST item = BrowseForFolder(info);
  if (!item) return false;
  // The picker left the folder's display name in path; an item without a file-system
  // path must not put that name into the box as if it were a folder.
  BOOL found = PathFromFolderItem(item, path);
  CoTaskMemFree(item);
  return found != FALSE;
}

// Any non-zero value of an option means on, so a raw 16 from the file shows checked.
void CheckOption(HWND dialog, int id, int value) {
  CheckDlgButton(dialog, id, value ? BST_CHECKED : BST_UNCHECKED);
}

int IsOptionChecked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

void ShowSettings(HWND dialog) {
  CheckOption(dialog, IDC_AIMAI, Settings.aimai);
  CheckOption(dialog, IDC_SKIP, Settings.skip);
  SetDlgItemTextA(dialog, IDC_MUSIC_FOLDER, Settings.musicpath);
  SetDlgItemTextA(dialog, IDC_TEXT_FOLDER, Settings.textpath);
  SetDlgItemTextA(dialog, IDC_EDITOR, Settings.editor);
  SetFocus(GetDlgItem(dialog, IDC_MUSIC_FOLDER));
}

// Reads an edit box into a path field; longer text is cut to 259 bytes, and never
// inside a character (code page 932's rule, whatever the system's code page).
void ReadField(HWND dialog, int id, char (&field)[PATH_BYTES]) {
  GetDlgItemTextA(dialog, id, field, sizeof field);
  DropCutCharacter(field);
}

void StoreSettings(HWND dialog) {
  ReadField(dialog, IDC_TEXT_FOLDER, Settings.textpath);
  ReadField(dialog, IDC_MUSIC_FOLDER, Settings.musicpath);
  ReadField(dialog, IDC_EDITOR, Settings.editor);
  Settings.aimai = IsOptionChecked(dialog, IDC_AIMAI);
  Settings.skip = IsOptionChecked(dialog, IDC_SKIP);
}

// The picker opens at the desktop; the chosen folder only fills the edit box, and is
// stored only by a later OK.
void BrowseForFolder(HWND dialog, int editId) {
  char path[PATH_BYTES] = "";
  BROWSEINFOA info = {};
  info.hwndOwner = dialog;
  info.pidlRoot = nullptr;
  info.pszDisplayName = path;
  info.lpszTitle = PICKER_TITLE;
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  FolderPickerProc pick = FolderPicker ? FolderPicker : PickFolderWithShell;
  if (pick(&info, path)) SetDlgItemTextA(dialog, editId, path);
}

INT_PTR OnCommand(HWND dialog, int id) {
  switch (id) {
    case IDOK: StoreSettings(dialog); EndDialog(dialog, IDOK); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case IDC_BROWSE_MUSIC: BrowseForFolder(dialog, IDC_MUSIC_FOLDER); return TRUE;
    case IDC_BROWSE_TEXT: BrowseForFolder(dialog, IDC_TEXT_FOLDER); return TRUE;
    default: return TRUE;
  }
}

}  // namespace

INT_PTR CALLBACK SettingDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: ShowSettings(dialog); return FALSE;  // keep the focus set there
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    default: return FALSE;
  }
}
