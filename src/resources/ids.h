// Every command, control and resource identifier, shared by the code, the resource
// script and the tests.
#pragma once

// Commands of the main window; a button's control ID is its command ID.
#define ID_EXIT 103
#define ID_ABOUT 105
#define ID_PLAY 106
#define ID_NEXT 107
#define ID_CENTS 108
#define ID_RATE 109
#define ID_SETTINGS 113
#define ID_EDIT_TEXT 116
#define ID_TOP 117
#define ID_OCTAVE_UP 118
#define ID_OCTAVE_DOWN 119
#define ID_RELOAD_TEXT 122
#define ID_CENTS_UP_25 123
#define ID_CENTS_DOWN_25 124
#define ID_CENTS_UP_5 125
#define ID_CENTS_DOWN_5 126
#define ID_MEM 127
#define ID_STOP 128
#define ID_KEEP_TEMPO 129  // the pitch moves without the tempo, or with it
#define ID_TEMPO_DOWN 130
#define ID_TEMPO_UP 131
#define ID_LOOP 132  // start, end and looping, off again
#define ID_LYRICS_SOONER 133
#define ID_LYRICS_LATER 134
#define ID_DELAY_LONGER 135  // the sound is heard later than the graph tells
#define ID_DELAY_SHORTER 136
#define ID_VOCAL 140  // the voice setting's next state
#define ID_LYRICS_WINDOW 145  // the lyrics window over the desktop, shown or hidden
#define ID_LYRICS_UNLOCK 146
#define ID_LYRICS_LOCK 147
#define ID_TIMING 150        // timing a text by tapping: on, or off with the taps written
#define ID_TIMING_STAMP 151  // Space while timing
#define ID_TIMING_UNDO 152   // Backspace while timing

// Controls of the settings dialog.
#define IDC_TEXT_FOLDER 110
#define IDC_MUSIC_FOLDER 111
#define IDC_EDITOR 112
#define IDC_BROWSE_MUSIC 114
#define IDC_BROWSE_TEXT 115
#define IDC_SKIP 120
#define IDC_AIMAI 121

// Window timers, the media framework's event message, and the message posted to the main
// window once the last open message box of the program has closed.
#define ID_POSITION_TIMER 1
#define ID_NOTICE_TIMER 2
#define WM_GRAPH_EVENT 0x8001
#define WM_BOXES_CLOSED 0x8002
// WM_COPYDATA's tag on a list of files handed to the running player: paths in the ANSI
// code page, each ended by a NUL, and one more NUL after the last.
#define FILE_LIST_COPYDATA 0x424D4C31

// Resource and class names.
#define RES_MENU "BramloeMenu"
#define RES_ACCELERATORS "BramloeAccel"
#define RES_SETTING_DIALOG "Setting"
#define MAIN_ICON_NAME "BramloeIcon"
#define MAIN_WINDOW_CLASS "BramloeWClass"
#define TEXT_VIEW_CLASS "ChildWClass"
#define LYRICS_WINDOW_CLASS "BramloeLyrics"
