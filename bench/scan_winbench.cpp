// Times ScanFolders over a generated library of 5000 music and 2000 text files, under
// Wine (or Windows): builds the tree in the temp folder, runs the scan several times
// with QueryPerformanceCounter and prints the figures. Run it with bench/scan_wine.sh.
//   scan_winbench [runs] [flat|nested]
// nested (the default) spreads the files over 50 + 20 folders of 100; flat puts each
// list in one folder.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "library/library.h"
#include "library/library_win.h"
#include "settings/settings.h"

static double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return (to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

// count files named NNNN<suffix> under folder, perFolder to a sub-folder (0: flat).
static void MakeFiles(const char *folder, int count, int perFolder, const char *suffix) {
  CreateDirectoryA(folder, nullptr);
  char path[MAX_PATH];
  for (int i = 0; i < count; i++) {
    if (perFolder) {
      std::snprintf(path, sizeof path, "%s\\d%03d", folder, i / perFolder);
      if (i % perFolder == 0) CreateDirectoryA(path, nullptr);
      std::snprintf(path, sizeof path, "%s\\d%03d\\%04d%s", folder, i / perFolder, i, suffix);
    } else {
      std::snprintf(path, sizeof path, "%s\\%04d%s", folder, i, suffix);
    }
    HANDLE file = CreateFileA(path, 0, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
}

static void RemoveTree(const char *folder) {
  char pattern[MAX_PATH], path[MAX_PATH];
  std::snprintf(pattern, sizeof pattern, "%s\\*", folder);
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(pattern, &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!std::strcmp(entry.cFileName, ".") || !std::strcmp(entry.cFileName, "..")) continue;
      std::snprintf(path, sizeof path, "%s\\%s", folder, entry.cFileName);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
      else DeleteFileA(path);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(folder);
}

static void Report(const char *what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  double sum = 0;
  for (double t : times) sum += t;
  std::printf("%-22s runs %zu  min %8.2f ms  median %8.2f ms  mean %8.2f ms  max %8.2f ms\n", what,
              times.size(), times.front(), times[times.size() / 2], sum / times.size(), times.back());
}

int main(int argc, char **argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 10;
  if (runs < 1) runs = 1;
  bool flat = argc > 2 && !std::strcmp(argv[2], "flat");

  char temp[MAX_PATH], root[MAX_PATH], home[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  GetCurrentDirectoryA(sizeof home, home);
  std::snprintf(root, sizeof root, "%sbramloe-scanbench-%lu", temp, GetCurrentProcessId());
  CreateDirectoryA(root, nullptr);
  std::snprintf(Settings.musicpath, sizeof Settings.musicpath, "%s\\music", root);
  std::snprintf(Settings.textpath, sizeof Settings.textpath, "%s\\texts", root);

  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  MakeFiles(Settings.musicpath, MUSIC_CAPACITY, flat ? 0 : 100, ".wav");
  MakeFiles(Settings.textpath, TEXT_CAPACITY, flat ? 0 : 100, ".txt");
  QueryPerformanceCounter(&end);
  std::printf("tree: %d music and %d text files, %s, made in %.0f ms\n", MUSIC_CAPACITY,
              TEXT_CAPACITY, flat ? "flat" : "100 to a folder", Milliseconds(start, end));

  std::vector<double> whole, music, texts;
  for (int i = 0; i < runs; i++) {
    QueryPerformanceCounter(&start);
    ScanFolders();
    QueryPerformanceCounter(&end);
    whole.push_back(Milliseconds(start, end));
    if (MusicList.count != MUSIC_CAPACITY || TextList.count != TEXT_CAPACITY) {
      std::printf("unexpected counts: %d music, %d text\n", MusicList.count, TextList.count);
      return 1;
    }
  }
  for (int i = 0; i < runs; i++) {
    MusicList.count = 0;
    QueryPerformanceCounter(&start);
    ScanMusicFolder(Settings.musicpath);
    QueryPerformanceCounter(&end);
    music.push_back(Milliseconds(start, end));
    TextList.count = 0;
    QueryPerformanceCounter(&start);
    ScanTextFolder(Settings.textpath);
    QueryPerformanceCounter(&end);
    texts.push_back(Milliseconds(start, end));
  }
  std::printf("first ScanFolders       %8.2f ms\n", whole.front());
  Report("ScanFolders", whole);
  Report("ScanMusicFolder (5000)", music);
  Report("ScanTextFolder (2000)", texts);

  SetCurrentDirectoryA(home);  // the scan made the text folder current
  RemoveTree(root);
  return 0;
}
