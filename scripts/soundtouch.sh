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
source "$(dirname "${BASH_SOURCE[0]}")/source_package.sh"

build() {  # source folder, work folder
  cmake -S "$1" -B "$2/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$out" -DBUILD_SHARED_LIBS=OFF -DINTEGER_SAMPLES=OFF -DOPENMP=OFF \
    -DSOUNDSTRETCH=OFF -DSOUNDTOUCH_DLL=OFF &&
    cmake --build "$2/build" -j2 --target install || return 1
  # The licence of the copy linked in is the one the repository keeps beside its notes.
  cp "$1/COPYING.TXT" "$out/COPYING.TXT" 2>/dev/null || true
}
source_package_build soundtouch "$version" "$out" lib/libSoundTouch.a "SoundTouch for MinGW" build
