// The portable rules of the playback session: the ogg guard and the failure texts.
#pragma once

#include "shell/path_bytes.h"

// True when the path must be refused because no ogg decoder is registered: ".ogg" or
// ".OGG" anywhere in the whole path (other spellings pass).
bool IsRefusedOggPath(const char *path, int oggFlag);

// The song to render once, unseen, before the first Play: the first of count paths that
// the session would open (no refused ogg) and that is no MIDI file, whose player is not
// the one the other songs use. -1 when there is none.
int WarmUpSongIndex(const char (*paths)[PATH_BYTES], int count, int oggFlag);

// The message for a failure code of the media framework, or null when it has none.
const char *GraphErrorMessage(long code);

// The text shown for a failure code into out (size bytes): the table's message, or for
// a code outside the table one that names it in hex, so no failure passes unreported.
void FormatGraphError(long code, char *out, unsigned long size);

// Texts of the session's own message boxes.
extern const char OggRefusedMessage[];
extern const char CreateCaption[];
extern const char CannotCreateGraphMessage[];
extern const char NoMediaControlMessage[];
extern const char NoMediaEventMessage[];
extern const char OpenCaption[];
extern const char RunCaption[];
