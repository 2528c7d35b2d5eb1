// Which compressed formats the media framework can decode: their extensions are
// registered under HKCR\Media Type\Extensions. Read once, before the first scan.
#include "library/library.h"
#include "library/library_win.h"

// 1 when the extension's key can be opened; only its existence counts.
static int ExtensionRegistered(HKEY extensions, const char *extension) {
  HKEY key;
  if (RegOpenKeyA(extensions, extension, &key) != ERROR_SUCCESS) return 0;
  RegCloseKey(key);
  return 1;
}

void ProbeDecoders() {
  DecoderFlags.mp3 = 0;
  DecoderFlags.ogg = 0;
  HKEY types;
  if (RegOpenKeyA(HKEY_CLASSES_ROOT, "Media Type", &types) != ERROR_SUCCESS) return;
  HKEY extensions;
  if (RegOpenKeyA(types, "Extensions", &extensions) == ERROR_SUCCESS) {
    DecoderFlags.mp3 = ExtensionRegistered(extensions, ".MP3");
    DecoderFlags.ogg = ExtensionRegistered(extensions, ".ogg");
    RegCloseKey(extensions);
  }
  RegCloseKey(types);
}
