#!/usr/bin/env bash
# Builds the time-stretching library of the keep-tempo stage for Windows, once, from
# Debian's source package: a static libSoundTouch.a (float samples, no OpenMP, neither
# the DLL nor the command-line tool) and its headers, installed into OUT.
#   scripts/soundtouch.sh OUT TOOLCHAIN_FILE
# Nothing is fetched or built again while OUT holds the library. What it prints goes to
# OUT.log, which is shown only when a step fails. Needs the source entry that
# scripts/deps.sh adds for apt. The source package's files are kept in OUT/source, so
# a release can carry the exact source it was built from.
set -euo pipefail
out=$1 toolchain=$2
# The version every test ran with: a library that changes is chosen, never picked up.
version=2.3.2+ds1-1
[ -f "$out/lib/libSoundTouch.a" ] && [ -f "$out/include/soundtouch/SoundTouch.h" ] && exit 0
mkdir -p "$out"
log=$out.log
: >"$log"
fail() { cat "$log" >&2; echo "soundtouch: $1 (log: $log)" >&2; exit 1; }
(
  flock 9
  [ -f "$out/lib/libSoundTouch.a" ] && exit 0  # built by a caller that held the lock first
  work=$out/work
  rm -rf "$work"
  mkdir -p "$work"
  apt-cache showsrc soundtouch 2>>"$log" | grep -qx "Version: $version" || exit 4
  # The source package is unpacked into the work folder; apt's own notes go to the log.
  (cd "$work" && apt-get source -qq "soundtouch=$version") >>"$log" 2>&1 || exit 2
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'soundtouch-*' | head -1)
  [ -n "$src" ] || exit 2
  cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$out" -DBUILD_SHARED_LIBS=OFF -DINTEGER_SAMPLES=OFF -DOPENMP=OFF \
    -DSOUNDSTRETCH=OFF -DSOUNDTOUCH_DLL=OFF >>"$log" 2>&1 || exit 3
  cmake --build "$work/build" -j2 --target install >>"$log" 2>&1 || exit 3
  # The licence of the copy linked in is the one the repository keeps beside its notes.
  cp "$src/COPYING.TXT" "$out/COPYING.TXT" 2>/dev/null || true
  mkdir -p "$out/source"
  cp "$work"/soundtouch_* "$out/source/"
  rm -rf "$work"
) 9>"$out.lock" || case $? in
  2) fail "could not fetch Debian's source package soundtouch $version (run scripts/deps.sh as root first)" ;;
  4) fail "apt offers no source package soundtouch $version, the version the tests ran with (apt-cache showsrc soundtouch lists what it has)" ;;
  *) fail "the MinGW build of SoundTouch failed" ;;
esac
[ -f "$out/lib/libSoundTouch.a" ] || fail "the build left no lib/libSoundTouch.a"
