// Test media for the Win32 tests from the one generator the scripts use too
// (scripts/media.py), run on the Unix side. Each file is made once per version of the
// generator and kept in the build tree; later asks read the kept copy.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

#include "wine/library_scratch.h"

namespace media {

// The bytes of the file "media.py KIND PATH ARGS" writes; PATH's extension is ext.
// Empty when the generator could not be run.
inline std::string Generated(const std::string &kind, const std::string &args,
                             const std::string &ext) {
  const std::string generator = BRAMLOE_TEST_SOURCE_DIR "/scripts/media.py";
  WIN32_FILE_ATTRIBUTE_DATA stamp = {};
  GetFileAttributesExA(WindowsPathOf(generator).c_str(), GetFileExInfoStandard, &stamp);
  char version[32];
  std::snprintf(version, sizeof version, "%08lx", stamp.ftLastWriteTime.dwLowDateTime);
  std::string name = kind + "-" + args + ext;
  for (char &c : name)
    if (c == ' ' || c == ':') c = '_';
  const std::string kept = BRAMLOE_TEST_BUILD_DIR "/media-" + std::string(version) + "/" + name;
  std::string bytes = ReadWholeFile(WindowsPathOf(kept));
  if (!bytes.empty()) return bytes;
  // The generator writes aside and renames, so parallel tests never read half a file.
  RunUnixScript("mkdir -p $(dirname '" + kept + "') && /usr/bin/python3 '" + generator + "' " +
                kind + " '" + kept + "' " + args);
  return ReadWholeFile(WindowsPathOf(kept));
}

// A stereo sine tone of hz for seconds, as a WAV file.
inline std::string Tone(int hz, double seconds, int amplitude = 10000) {
  char args[64];
  std::snprintf(args, sizeof args, "%d %g --amplitude %d", hz, seconds, amplitude);
  return Generated("tone", args, ".wav");
}

// Tones one after another, as "HZ:SECONDS HZ:SECONDS ...".
inline std::string Tones(const std::string &parts) { return Generated("tones", parts, ".wav"); }

inline std::string SmallAvi() { return Generated("avi", "", ".avi"); }
inline std::string OneNoteMidi() { return Generated("midi", "", ".mid"); }

}  // namespace media
