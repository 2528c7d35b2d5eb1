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

// How much of that song is copied for the warm-up: enough for a decoder to know it
// and start.
const unsigned long WARM_UP_COPY_BYTES = 256 * 1024;
const unsigned long WARM_UP_NAME_BYTES = 64;

// The file name of the warm-up's copy of the song at songPath, the process's own: with
// the song's extension (at most 15 bytes after the dot), which picks its decoder.
void WarmUpCopyName(const char *songPath, unsigned long processId, char *out,
                    unsigned long size);

// The message for a failure code of the media framework, or null when it has none.
const char *GraphErrorMessage(long code);

// The text shown for a failure code into out (size bytes): the table's message, or for
// a code outside the table one that names it in hex, so no failure passes unreported.
void FormatGraphError(long code, char *out, unsigned long size);

// Whether a graph asked to run at askedAt (a millisecond count that wraps, as the
// system's tick) is still not running at now, past limit. Counts are compared as a
// signed difference: a count read a moment before askedAt, or across the wrap, is no
// long wait.
bool StartOverdue(unsigned long now, unsigned long askedAt, unsigned long limit);

// Texts of the session's own message boxes.
extern const char OggRefusedMessage[];
extern const char CreateCaption[];
extern const char CannotCreateGraphMessage[];
extern const char NoMediaControlMessage[];
extern const char NoMediaEventMessage[];
extern const char OpenCaption[];
extern const char RunCaption[];
