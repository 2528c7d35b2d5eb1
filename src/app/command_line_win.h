// Files named on the command line ("Open with", a drop on the program's icon, "Send
// to"), and their hand-over to a player already running.
#pragma once
#include <windows.h>

extern const char UnnamedFileMessage[];  // a file on the command line has no usable path
extern const char UnnamedFileCaption[];

// Reads the command line's files as full paths in the ANSI code page. True when it
// names any file, also one that no such path can name.
bool ReadCommandLineFiles();

// Gives the files read to the player already running, whose window takes them as a
// drop and plays the first; tells of the files no path could name. False when no
// player runs or it did not take them: this start then goes on to play them itself.
bool HandFilesToRunningPlayer();

// After start-up: tells of the files no path could name, takes the others as a drop
// and plays the first. False when there are none.
bool PlayCommandLineFiles(HWND mainWindow);

// WM_COPYDATA of the main window: TRUE when it held a list of files, now playing.
LRESULT TakeHandedFiles(HWND mainWindow, const COPYDATASTRUCT *copy);
