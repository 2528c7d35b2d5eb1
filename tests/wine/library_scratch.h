// Scratch folders for the Win32 library and settings tests: real folders and files
// under the temp folder, and the few Unix-side steps (symbolic links) that Wine can
// only be given from outside, run through its ability to start Unix programs.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "records_guard.h"

// A fresh folder under the temp folder, named after the test and this process; a
// name already taken (by a folder an ended process left) is passed over, since only
// the process whose CreateDirectoryA succeeds owns the folder.
inline std::string MakeScratchFolder(const char *tag) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  char name[MAX_PATH];
  for (unsigned n = 0;; n++) {
    std::snprintf(name, sizeof name, "%sbramloe-%s-%lu-%u", temp, tag, GetCurrentProcessId(), n);
    if (CreateDirectoryA(name, nullptr)) return name;
    if (GetLastError() != ERROR_ALREADY_EXISTS || n == 1000) break;
  }
  ADD_FAILURE() << "no scratch folder could be made: " << name;
  return name;
}

inline void MakeFolder(const std::string &path) {
  EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
}

inline void MakeFile(const std::string &path, const std::string &content = "") {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
  DWORD written = 0;
  if (!content.empty()) WriteFile(file, content.data(), (DWORD)content.size(), &written, nullptr);
  CloseHandle(file);
}

inline std::string ReadWholeFile(const std::string &path) {
  std::string content;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return content;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got) content.append(chunk, got);
  CloseHandle(file);
  return content;
}

inline bool FileExists(const std::string &path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Deletes a folder and everything under it. Symbolic links must be removed first
// (RemoveUnixPath): this follows whatever the search reports as a folder.
inline void RemoveTree(const std::string &folder) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
      else DeleteFileA(path.c_str());
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

// The Unix path of a Windows path, through Wine's own export; empty when not in Wine.
inline std::string UnixPathOf(const std::string &windowsPath) {
  typedef char *(CDECL * UnixNameProc)(const WCHAR *);
  UnixNameProc unixName =
      (UnixNameProc)(void *)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
  if (!unixName) return "";
  WCHAR wide[MAX_PATH * 2];
  MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH * 2);
  char *name = unixName(wide);
  if (!name) return "";
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// The Windows path of a Unix path, as Wine's drives name it; empty when not in Wine.
inline std::string WindowsPathOf(const std::string &unixPath) {
  typedef WCHAR *(CDECL * DosNameProc)(const char *);
  DosNameProc dosName =
      (DosNameProc)(void *)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_dos_file_name");
  if (!dosName) return "";
  WCHAR *wide = dosName(unixPath.c_str());
  if (!wide) return "";
  char name[MAX_PATH * 2] = "";
  WideCharToMultiByte(CP_ACP, 0, wide, -1, name, sizeof name, nullptr, nullptr);
  HeapFree(GetProcessHeap(), 0, wide);
  return name;
}

// Runs a bash script on the Unix side (Wine starts ELF programs given by their Z:
// path) and waits for it by a marker file: the handle Wine gives back for a Unix
// process is signalled at once. The script must not contain double quotes. False
// when it did not finish within ten seconds.
inline bool RunUnixScript(const std::string &script) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  static unsigned scripts;
  char marker[MAX_PATH];
  std::snprintf(marker, sizeof marker, "%sbramloe-done-%lu-%u", temp, GetCurrentProcessId(), scripts++);
  DeleteFileA(marker);
  std::string unixMarker = UnixPathOf(marker);
  if (unixMarker.empty()) return false;
  std::string line = "Z:\\bin\\bash -c \"" + script + " ; touch '" + unixMarker + "'\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int waited = 0; waited < 10000; waited += 10) {
    if (FileExists(marker)) {
      DeleteFileA(marker);
      return true;
    }
    Sleep(10);
  }
  return false;
}

// A Unix symbolic link at linkUnixPath pointing at target (taken as given).
inline bool MakeUnixLink(const std::string &target, const std::string &linkUnixPath) {
  return RunUnixScript("ln -sfn '" + target + "' '" + linkUnixPath + "'");
}

inline bool RemoveUnixPath(const std::string &unixPath) {
  return RunUnixScript("rm -f '" + unixPath + "'");
}

// Empty files folder\<prefix><0000..last><suffix> made from the Unix side in one go
// (thousands of CreateFileA calls take several seconds under Wine); falls back to
// CreateFileA outside Wine.
inline void MakeNumberedFiles(const std::string &folder, int last, const char *suffix) {
  std::string unixFolder = UnixPathOf(folder);
  char range[32];
  std::snprintf(range, sizeof range, "{0000..%04d}", last);
  if (!unixFolder.empty() &&
      RunUnixScript("cd '" + unixFolder + "' && touch " + range + suffix))
    return;
  char name[MAX_PATH];
  for (int i = 0; i <= last; i++) {
    std::snprintf(name, sizeof name, "%s\\%04d%s", folder.c_str(), i, suffix);
    MakeFile(name);
  }
}
