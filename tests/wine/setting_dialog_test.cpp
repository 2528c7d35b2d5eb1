// The settings dialog on the real "Setting" template: the template itself, what it
// shows, what OK stores and rescans, what Esc and the close box leave alone, and the
// folder picker (scripted, and the system's own once). Modal runs go through the
// settings command, as the menu opens the dialog, and are driven from a thread timer
// that its loop dispatches.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/commands_win.h"
#include "library/library.h"
#include "library_scratch.h"
#include "resources/ids.h"
#include "settings/setting_dialog_win.h"
#include "settings/settings.h"
#include "settings/settings_win.h"
#include "shell/shell_win.h"

namespace {

std::string ItemText(HWND dialog, int id) {
  char text[1024] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

std::vector<std::string> Music() {
  return std::vector<std::string>(MusicList.paths, MusicList.paths + MusicList.count);
}
std::vector<std::string> Texts() {
  return std::vector<std::string>(TextList.paths, TextList.paths + TextList.count);
}

// The settings dialog of this thread, modal or modeless.
HWND FindSettingDialog() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM out) -> BOOL {
        char className[32] = "", caption[32] = "";
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, caption, sizeof caption);
        if (std::strcmp(className, "#32770") || std::strcmp(caption, "Setting")) return TRUE;
        *(HWND *)out = window;
        return FALSE;
      },
      (LPARAM)&found);
  return found;
}

// A key as the modal loop receives it: posted to the window with the focus, so that
// IsDialogMessageA turns Enter into IDOK and Esc into IDCANCEL.
void PostKey(UINT key) {
  HWND focus = GetFocus();
  PostMessageA(focus, WM_KEYDOWN, key, 1);
  PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
}

std::function<void(HWND)> pendingStep;
const INT_PTR STUCK = 99;
bool stuck;

void CALLBACK RunPendingStep(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  std::function<void(HWND)> step;
  step.swap(pendingStep);
  HWND dialog = FindSettingDialog();
  EXPECT_NE(nullptr, dialog);
  if (dialog && step) step(dialog);
}

void CALLBACK EndStuckDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  ADD_FAILURE() << "the dialog did not end by itself";
  stuck = true;
  if (HWND dialog = FindSettingDialog()) EndDialog(dialog, STUCK);
}

// Opens the dialog the way the main window does, through its command, and runs step
// once from inside its modal loop; returns whether the dialog ended by itself.
bool RunModal(std::function<void(HWND)> step) {
  pendingStep = std::move(step);
  stuck = false;
  AppInstance = GetModuleHandleA(nullptr);
  UINT_PTR stepTimer = SetTimer(nullptr, 0, 10, RunPendingStep);
  UINT_PTR watchdog = SetTimer(nullptr, 0, 10000, EndStuckDialog);
  OpenSettingsDialog(nullptr);
  KillTimer(nullptr, stepTimer);
  KillTimer(nullptr, watchdog);
  pendingStep = nullptr;
  return !stuck;
}

// What the scripted picker saw, and what it answers.
struct PickerScript {
  int calls;
  HWND owner;
  std::string title;
  UINT flags;
  bool rootIsDesktop;
  bool hasDisplayBuffer;
  bool hasCallback;
  LPARAM lParam;
  const char *answer;  // null: the user cancels
} picker;

bool ScriptedPicker(BROWSEINFOA *info, char *path) {
  picker.calls++;
  picker.owner = info->hwndOwner;
  picker.title = info->lpszTitle ? info->lpszTitle : "<null>";
  picker.flags = info->ulFlags;
  picker.rootIsDesktop = info->pidlRoot == nullptr;
  picker.hasDisplayBuffer = info->pszDisplayName != nullptr;
  picker.hasCallback = info->lpfn != nullptr;
  picker.lParam = info->lParam;
  if (!picker.answer) return false;
  std::strcpy(path, picker.answer);
  return true;
}

class SettingDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    GetCurrentDirectoryA(sizeof keptDirectory, keptDirectory);
    root = MakeScratchFolder("dialog");
    music = root + "\\music";
    texts = root + "\\texts";
    MakeFolder(music);
    MakeFolder(texts);
    MakeFile(music + "\\a.wav");
    MakeFile(texts + "\\a.txt");
    std::strcpy(Settings.musicpath, music.c_str());
    std::strcpy(Settings.textpath, texts.c_str());
    std::strcpy(Settings.editor, "notepad");
    Settings.aimai = 1;
    Settings.skip = 0;
    // Lists that no scan of the scratch folders could produce.
    std::strcpy(MusicList.paths[0], "C:\\before.wav");
    MusicList.count = 1;
    std::strcpy(TextList.paths[0], "C:\\before.txt");
    TextList.count = 1;
    picker = PickerScript{};
    FolderPicker = ScriptedPicker;
  }
  void TearDown() override {
    FolderPicker = nullptr;
    SetCurrentDirectoryA(keptDirectory);  // a current folder cannot be removed
    RemoveTree(root);
  }

  HWND OpenModeless() {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), RES_SETTING_DIALOG, nullptr,
                                     SettingDlgProc, 0);
    EXPECT_NE(nullptr, dialog);
    return dialog;
  }
  void Command(HWND dialog, int id) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  void ExpectListsUntouched() {
    EXPECT_EQ(std::vector<std::string>{"C:\\before.wav"}, Music());
    EXPECT_EQ(std::vector<std::string>{"C:\\before.txt"}, Texts());
  }

  RecordsGuard records;
  char keptDirectory[MAX_PATH];
  std::string root, music, texts;
};

// --- The template ---------------------------------------------------------------

RECT ItemRect(HWND dialog, HWND item) {
  RECT r;
  GetWindowRect(item, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
  return r;
}

bool SameRow(const RECT &a, const RECT &b) { return a.top < b.bottom && b.top < a.bottom; }

// Tab, as the dialog's keyboard handling receives it from the focused control.
void TabIn(HWND dialog, bool back) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = back ? 0x80 : 0;
  SetKeyboardState(keys);
  MSG message = {GetFocus(), WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
  IsDialogMessageA(dialog, &message);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

// Tab goes round the controls by their IDs, from the music folder to OK and back.
TEST_F(SettingDialog, TabGoesRoundTheControlsInTheOrderOfTheRows) {
  HWND dialog = OpenModeless();
  SetFocus(GetDlgItem(dialog, IDC_MUSIC_FOLDER));
  const int order[] = {IDC_BROWSE_MUSIC, IDC_TEXT_FOLDER, IDC_BROWSE_TEXT, IDC_EDITOR,
                       IDC_SKIP,         IDC_AIMAI,       IDOK,            IDC_MUSIC_FOLDER};
  for (int id : order) {
    TabIn(dialog, false);
    EXPECT_EQ(GetDlgItem(dialog, id), GetFocus()) << id;
  }
  TabIn(dialog, true);
  EXPECT_EQ(GetDlgItem(dialog, IDOK), GetFocus()) << "Shift+Tab goes back";
  DestroyWindow(dialog);
}

// Every control is inside the dialog and apart from the others; each folder row reads
// label, edit box, browse button from left to right, and the editor row label, edit.
TEST_F(SettingDialog, ControlsStayInsideApartAndInTheirRows) {
  HWND dialog = OpenModeless();
  RECT client;
  GetClientRect(dialog, &client);
  std::vector<HWND> items;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) items.push_back(c);
  ASSERT_EQ(11u, items.size());
  for (size_t i = 0; i < items.size(); i++) {
    RECT r = ItemRect(dialog, items[i]), common;
    SCOPED_TRACE(GetDlgCtrlID(items[i]));
    EXPECT_TRUE(IsWindowVisible(items[i]));
    EXPECT_GT(r.right, r.left);
    EXPECT_GT(r.bottom, r.top);
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, client.right);
    EXPECT_LE(r.bottom, client.bottom);
    for (size_t j = i + 1; j < items.size(); j++) {
      RECT other = ItemRect(dialog, items[j]);
      EXPECT_FALSE(IntersectRect(&common, &r, &other)) << "over " << GetDlgCtrlID(items[j]);
    }
  }
  const struct {
    int edit, browse;
  } rows[] = {{IDC_MUSIC_FOLDER, IDC_BROWSE_MUSIC}, {IDC_TEXT_FOLDER, IDC_BROWSE_TEXT},
              {IDC_EDITOR, 0}};
  for (const auto &row : rows) {
    SCOPED_TRACE(row.edit);
    HWND edit = GetDlgItem(dialog, row.edit);
    // The label is the static just before its edit box, as its mnemonic needs.
    HWND label = GetWindow(edit, GW_HWNDPREV);
    ASSERT_NE(nullptr, label);
    RECT e = ItemRect(dialog, edit), l = ItemRect(dialog, label);
    EXPECT_TRUE(SameRow(l, e));
    EXPECT_LE(l.right, e.left);
    if (!row.browse) continue;
    RECT b = ItemRect(dialog, GetDlgItem(dialog, row.browse));
    EXPECT_TRUE(SameRow(e, b));
    EXPECT_LE(e.right, b.left);
  }
  DestroyWindow(dialog);
}

// A path much longer than an edit box is wide can be typed in whole: the box scrolls.
TEST_F(SettingDialog, EditBoxesTakeTypedTextLongerThanTheyAreWide) {
  HWND dialog = OpenModeless();
  const std::string typed = "C:\\" + std::string(150, 'x');
  for (int id : {IDC_MUSIC_FOLDER, IDC_TEXT_FOLDER, IDC_EDITOR}) {
    HWND edit = GetDlgItem(dialog, id);
    SetWindowTextA(edit, "");
    SetFocus(edit);
    for (char c : typed) SendMessageA(edit, WM_CHAR, static_cast<BYTE>(c), 1);
    EXPECT_EQ(typed, ItemText(dialog, id)) << id;
  }
  DestroyWindow(dialog);
}

// Each label's mnemonic leads to the edit box beside it.
TEST_F(SettingDialog, LabelMnemonicsLeadToTheirEdits) {
  HWND dialog = OpenModeless();
  for (auto [key, id] : {std::pair<char, int>{'t', IDC_TEXT_FOLDER}, {'e', IDC_EDITOR},
                         {'m', IDC_MUSIC_FOLDER}}) {
    MSG message = {};
    message.hwnd = GetFocus();
    message.message = WM_SYSCHAR;
    message.wParam = (WPARAM)key;
    message.lParam = 1 << 29;  // Alt held
    EXPECT_TRUE(IsDialogMessageA(dialog, &message));
    EXPECT_EQ(GetDlgItem(dialog, id), GetFocus()) << key;
  }
  DestroyWindow(dialog);
}

// --- Opening ---------------------------------------------------------------------

TEST_F(SettingDialog, OpensWithTheCurrentValuesAndTheFocusOnTheMusicFolder) {
  Settings.aimai = 16;  // raw values from the file: any non-zero value is on
  Settings.skip = 0;
  std::strcpy(Settings.editor, "C:\\エディタ\\ed.exe -n");
  bool ended = RunModal([&](HWND dialog) {
    EXPECT_EQ(music, ItemText(dialog, IDC_MUSIC_FOLDER));
    EXPECT_EQ(texts, ItemText(dialog, IDC_TEXT_FOLDER));
    EXPECT_EQ("C:\\エディタ\\ed.exe -n", ItemText(dialog, IDC_EDITOR));
    EXPECT_TRUE(IsChecked(dialog, IDC_AIMAI));
    EXPECT_FALSE(IsChecked(dialog, IDC_SKIP));
    EXPECT_EQ(GetDlgItem(dialog, IDC_MUSIC_FOLDER), GetFocus());
    PostKey(VK_ESCAPE);
  });
  EXPECT_TRUE(ended);

  for (auto [aimai, skip] : {std::pair<int, int>{0, 16}, {-1, 1}, {0, 0}, {1, 0x7FFFFFFF}}) {
    Settings.aimai = aimai;
    Settings.skip = skip;
    HWND dialog = OpenModeless();
    EXPECT_EQ(aimai != 0, IsChecked(dialog, IDC_AIMAI)) << aimai;
    EXPECT_EQ(skip != 0, IsChecked(dialog, IDC_SKIP)) << skip;
    DestroyWindow(dialog);
  }
}

// --- OK ----------------------------------------------------------------------------

// Enter in an edit box is OK (the default button): the modal loop ends with 1, the
// edits and boxes are stored, and both folders are scanned again.
TEST_F(SettingDialog, EnterStoresTheValuesRescansAndEndsTheModalLoop) {
  std::string otherTexts = root + "\\其の他";
  MakeFolder(otherTexts);
  MakeFile(otherTexts + "\\b.txt");
  bool ended = RunModal([&](HWND dialog) {
    MakeFile(music + "\\b.wav");  // appears while the dialog is open
    SetDlgItemTextA(dialog, IDC_TEXT_FOLDER, otherTexts.c_str());
    SetDlgItemTextA(dialog, IDC_EDITOR, "ed");
    SendDlgItemMessageA(dialog, IDC_SKIP, BM_CLICK, 0, 0);
    SetFocus(GetDlgItem(dialog, IDC_EDITOR));
    PostKey(VK_RETURN);
  });
  EXPECT_TRUE(ended);
  EXPECT_STREQ(music.c_str(), Settings.musicpath);
  EXPECT_STREQ(otherTexts.c_str(), Settings.textpath);
  EXPECT_STREQ("ed", Settings.editor);
  EXPECT_EQ(1, Settings.aimai);
  EXPECT_EQ(1, Settings.skip);
  std::vector<std::string> list = Music();
  std::sort(list.begin(), list.end());
  EXPECT_EQ((std::vector<std::string>{music + "\\a.wav", music + "\\b.wav"}), list);
  EXPECT_EQ(std::vector<std::string>{otherTexts + "\\b.txt"}, Texts());
}

TEST_F(SettingDialog, OkStoresTheBoxesAsZeroOrOne) {
  struct Case { int aimai, skip; bool clickAimai, clickSkip; int storedAimai, storedSkip; };
  for (const Case &c : {Case{16, 16, true, true, 0, 0}, Case{0, 0, true, true, 1, 1},
                        Case{16, -1, false, false, 1, 1}, Case{0, 0, false, false, 0, 0},
                        Case{0, 2, true, false, 1, 1}}) {
    Settings.aimai = c.aimai;
    Settings.skip = c.skip;
    HWND dialog = OpenModeless();
    if (c.clickAimai) SendDlgItemMessageA(dialog, IDC_AIMAI, BM_CLICK, 0, 0);
    if (c.clickSkip) SendDlgItemMessageA(dialog, IDC_SKIP, BM_CLICK, 0, 0);
    Command(dialog, IDOK);
    EXPECT_EQ(c.storedAimai, Settings.aimai) << "from " << c.aimai;
    EXPECT_EQ(c.storedSkip, Settings.skip) << "from " << c.skip;
    DestroyWindow(dialog);
  }
}

TEST_F(SettingDialog, OkCutsLongTextTo259Characters) {
  std::string longMusic(300, 'm'), longText(400, 't'), longEditor(260, 'e');
  HWND dialog = OpenModeless();
  SetDlgItemTextA(dialog, IDC_MUSIC_FOLDER, longMusic.c_str());
  SetDlgItemTextA(dialog, IDC_TEXT_FOLDER, longText.c_str());
  SetDlgItemTextA(dialog, IDC_EDITOR, longEditor.c_str());
  Command(dialog, IDOK);
  DestroyWindow(dialog);
  EXPECT_EQ(longMusic.substr(0, 259), Settings.musicpath);
  EXPECT_EQ(longText.substr(0, 259), Settings.textpath);
  EXPECT_EQ(longEditor.substr(0, 259), Settings.editor);

  // Double-byte text is cut before a character that would not fit whole: a lone lead
  // byte would join with the '\' of a path built on the folder.
  std::string wide;
  for (int i = 0; i < 150; i++) wide += "ア";
  dialog = OpenModeless();
  SetDlgItemTextA(dialog, IDC_MUSIC_FOLDER, wide.c_str());
  SetDlgItemTextA(dialog, IDC_TEXT_FOLDER, ("a" + wide).c_str());
  Command(dialog, IDOK);
  DestroyWindow(dialog);
  EXPECT_EQ(wide.substr(0, 258), Settings.musicpath);
  EXPECT_EQ(("a" + wide).substr(0, 259), Settings.textpath);
}

// An emptied folder is stored empty, and its list stays as it was; the other folder
// is still scanned.
TEST_F(SettingDialog, OkWithAnEmptiedFolderKeepsItsList) {
  EXPECT_TRUE(RunModal([](HWND dialog) {
    SetDlgItemTextA(dialog, IDC_MUSIC_FOLDER, "");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }));
  EXPECT_STREQ("", Settings.musicpath);
  EXPECT_EQ(std::vector<std::string>{"C:\\before.wav"}, Music());
  EXPECT_EQ(std::vector<std::string>{texts + "\\a.txt"}, Texts());

  EXPECT_TRUE(RunModal([](HWND dialog) {
    SetDlgItemTextA(dialog, IDC_TEXT_FOLDER, "");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }));
  EXPECT_STREQ("", Settings.textpath);
  EXPECT_EQ(std::vector<std::string>{texts + "\\a.txt"}, Texts());
}

// --- Esc and the close box -------------------------------------------------------

TEST_F(SettingDialog, EscAndTheCloseBoxStoreNothingAndScanNothing) {
  Settings.aimai = 16;
  Settings.skip = 0;
  const SettingsRecord before = Settings;
  auto editEverything = [&](HWND dialog) {
    MakeFile(music + "\\new.wav");
    SetDlgItemTextA(dialog, IDC_MUSIC_FOLDER, texts.c_str());
    SetDlgItemTextA(dialog, IDC_TEXT_FOLDER, music.c_str());
    SetDlgItemTextA(dialog, IDC_EDITOR, "vi");
    SendDlgItemMessageA(dialog, IDC_AIMAI, BM_CLICK, 0, 0);
    SendDlgItemMessageA(dialog, IDC_SKIP, BM_CLICK, 0, 0);
  };
  EXPECT_TRUE(RunModal([&](HWND dialog) {
              editEverything(dialog);
              PostKey(VK_ESCAPE);
            }));
  EXPECT_EQ(0, std::memcmp(&before, &Settings, sizeof before));
  ExpectListsUntouched();

  EXPECT_TRUE(RunModal([&](HWND dialog) {
              editEverything(dialog);
              PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            }));
  EXPECT_EQ(0, std::memcmp(&before, &Settings, sizeof before));
  ExpectListsUntouched();
}

// --- Browsing ----------------------------------------------------------------------

TEST_F(SettingDialog, BrowseFillsOnlyItsEditBox) {
  const SettingsRecord before = Settings;
  HWND dialog = OpenModeless();
  picker.answer = "C:\\選んだ\\曲";
  Command(dialog, IDC_BROWSE_MUSIC);
  EXPECT_EQ(1, picker.calls);
  EXPECT_EQ(dialog, picker.owner);
  EXPECT_EQ("フォルダの選択", picker.title);
  EXPECT_EQ(UINT(BIF_RETURNONLYFSDIRS), picker.flags);
  EXPECT_TRUE(picker.rootIsDesktop);
  EXPECT_TRUE(picker.hasDisplayBuffer);
  EXPECT_FALSE(picker.hasCallback);
  EXPECT_EQ(0, picker.lParam);
  EXPECT_EQ("C:\\選んだ\\曲", ItemText(dialog, IDC_MUSIC_FOLDER));
  EXPECT_EQ(texts, ItemText(dialog, IDC_TEXT_FOLDER));

  picker.answer = nullptr;  // cancelled: the box keeps its text
  Command(dialog, IDC_BROWSE_TEXT);
  EXPECT_EQ(2, picker.calls);
  EXPECT_EQ(texts, ItemText(dialog, IDC_TEXT_FOLDER));

  picker.answer = "D:\\texts";
  Command(dialog, IDC_BROWSE_TEXT);
  EXPECT_EQ("D:\\texts", ItemText(dialog, IDC_TEXT_FOLDER));
  EXPECT_EQ("C:\\選んだ\\曲", ItemText(dialog, IDC_MUSIC_FOLDER));
  EXPECT_EQ(0, std::memcmp(&before, &Settings, sizeof before));  // nothing stored yet
  ExpectListsUntouched();
  DestroyWindow(dialog);
}

// The system's picker, found from a timer inside its own modal loop; it is then either
// cancelled or pointed at a folder (the picker takes BFFM_SETSELECTIONA without a
// callback) and confirmed once the selection has held.
struct RealPickerRun {
  HWND dialog;
  const char *choose;  // null: cancel
  HWND picker;
  HWND owner;
  std::vector<std::string> texts;
  int held;  // ticks in a row the tree has shown the folder asked for
} realPicker;

// The text of the item selected in the picker's folder tree.
std::string PickerSelection(HWND window) {
  HWND tree = FindWindowExA(window, nullptr, WC_TREEVIEWA, nullptr);
  HTREEITEM item = tree ? TreeView_GetSelection(tree) : nullptr;
  char text[MAX_PATH] = "";
  TVITEMA entry = {};
  entry.mask = TVIF_TEXT;
  entry.hItem = item;
  entry.pszText = text;
  entry.cchTextMax = sizeof text;
  if (item) SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&entry);
  return text;
}

void CALLBACK AnswerRealPicker(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!realPicker.picker) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
          char className[32] = "";
          GetClassNameA(window, className, sizeof className);
          if (window == realPicker.dialog || std::strcmp(className, "#32770")) return TRUE;
          realPicker.picker = window;
          realPicker.owner = GetWindow(window, GW_OWNER);
          return FALSE;
        },
        0);
    if (!realPicker.picker) return;  // not up yet
    // The picker is shown once its initialisation is over.
    if (!IsWindowVisible(realPicker.picker)) {
      realPicker.picker = nullptr;
      return;
    }
    char caption[256] = "";
    GetWindowTextA(realPicker.picker, caption, sizeof caption);
    realPicker.texts.push_back(caption);
    EnumChildWindows(
        realPicker.picker,
        [](HWND child, LPARAM) -> BOOL {
          char text[256] = "";
          GetWindowTextA(child, text, sizeof text);
          realPicker.texts.push_back(text);
          return TRUE;
        },
        0);
  }
  if (!realPicker.choose) {
    KillTimer(nullptr, timer);
    PostMessageA(realPicker.picker, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return;
  }
  // Even shown, the picker may still select its initial folder over a selection made
  // (its tree fills and expands on messages of its own), and OK takes the folder
  // selected at that moment: so the selection is made again until it holds, and OK is
  // pressed at once on a tick that finds it held.
  const char *leaf = std::strrchr(realPicker.choose, '\\');
  leaf = leaf ? leaf + 1 : realPicker.choose;
  if (PickerSelection(realPicker.picker) != leaf) {
    realPicker.held = 0;
    SendMessageA(realPicker.picker, BFFM_SETSELECTIONA, TRUE, (LPARAM)realPicker.choose);
    return;
  }
  if (++realPicker.held < 3) return;
  KillTimer(nullptr, timer);
  SendMessageA(realPicker.picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// Runs the browse button with the system's picker; false when no picker came up.
bool BrowseWithRealPicker(HWND dialog, int button, const char *choose) {
  realPicker = RealPickerRun{dialog, choose, nullptr, nullptr, {}, 0};
  UINT_PTR timer = SetTimer(nullptr, 0, 20, AnswerRealPicker);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  KillTimer(nullptr, timer);
  return realPicker.picker != nullptr;
}

TEST_F(SettingDialog, TheSystemPickerShowsTheTitleAndFillsTheBox) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  FolderPicker = nullptr;
  HWND dialog = OpenModeless();

  ASSERT_TRUE(BrowseWithRealPicker(dialog, IDC_BROWSE_MUSIC, nullptr)) << "no picker came up";
  EXPECT_EQ(dialog, realPicker.owner);
  EXPECT_NE(realPicker.texts.end(),
            std::find(realPicker.texts.begin(), realPicker.texts.end(), "フォルダの選択"));
  EXPECT_FALSE(IsWindow(realPicker.picker));
  EXPECT_EQ(music, ItemText(dialog, IDC_MUSIC_FOLDER));

  std::string chosen = root + "\\選んだ";
  MakeFolder(chosen);
  ASSERT_TRUE(BrowseWithRealPicker(dialog, IDC_BROWSE_TEXT, chosen.c_str()));
  EXPECT_EQ(chosen, ItemText(dialog, IDC_TEXT_FOLDER));
  EXPECT_EQ(music, ItemText(dialog, IDC_MUSIC_FOLDER));
  EXPECT_STREQ(texts.c_str(), Settings.textpath);  // stored only by OK
  DestroyWindow(dialog);
  CoUninitialize();
}

}  // namespace
