// Where the main window's commands and its other messages go.
#pragma once
#include <windows.h>

enum CommandResult {
  RETURN_ZERO,     // the procedure returns 0
  RETURN_DEFAULT,  // the message goes on to DefWindowProcA
};

typedef void (*CommandHandler)(HWND mainWindow);

struct CommandRoute {
  int id;
  CommandHandler handler;  // null: the command does nothing (yet)
  CommandResult result;
};

extern const CommandRoute CommandRoutes[];
extern const int CommandRouteCount;

const CommandRoute *FindCommandRoute(int id);  // null for an unknown ID
LRESULT RouteCommand(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void RouteTimerTick(HWND hwnd);
void RouteRateScroll(HWND hwnd, WPARAM wParam, LPARAM lParam);
void RouteProgressClick(HWND hwnd, LPARAM lParam);
void RouteGraphEvent(HWND hwnd);
// What the text view asks of the song when a timed line is clicked, and where it reads
// the song's time heard for the fill.
void RouteTextViewClicks();
void RouteBoxesClosed(HWND hwnd);
