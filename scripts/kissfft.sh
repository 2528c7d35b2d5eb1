#!/usr/bin/env bash
# Builds the FFT library of the voice stage, once, from Debian's source package: a
# static float libkissfft-float.a (neither tools nor tests) and its headers, installed
# into OUT, for Windows with a toolchain file, natively without one, so both trees
# link the same source.
#   scripts/kissfft.sh OUT [TOOLCHAIN_FILE]
# Nothing is fetched or built again while OUT holds the library. What it prints goes to
# OUT.log, which is shown only when a step fails. Needs the source entry that
# scripts/deps.sh adds for apt. The source package's files are kept in OUT/source and
# its copyright file as OUT/copyright, so a release can carry both.
set -euo pipefail
out=$1 toolchain=${2:-}
# The version every test ran with: a library that changes is chosen, never picked up.
version=131.1.0-4.1~deb12u1
[ -f "$out/lib/libkissfft-float.a" ] && [ -f "$out/include/kissfft/kiss_fftr.h" ] && exit 0
mkdir -p "$out"
log=$out.log
: >"$log"
fail() { cat "$log" >&2; echo "kissfft: $1 (log: $log)" >&2; exit 1; }
(
  flock 9
  [ -f "$out/lib/libkissfft-float.a" ] && exit 0  # built by a caller that held the lock first
  work=$out/work
  rm -rf "$work"
  mkdir -p "$work"
  apt-cache showsrc kissfft 2>>"$log" | grep -qx "Version: $version" || exit 4
  (cd "$work" && apt-get source -qq "kissfft=$version") >>"$log" 2>&1 || exit 2
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'kissfft-*' | head -1)
  [ -n "$src" ] || exit 2
  # Its messages name their source file: the work folder is mapped away, so two
  # checkouts build the same bytes.
  export CFLAGS="${CFLAGS:-} -ffile-prefix-map=$work=/kissfft"
  cmake -S "$src" -B "$work/build" ${toolchain:+-DCMAKE_TOOLCHAIN_FILE="$toolchain"} \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$out" -DCMAKE_INSTALL_LIBDIR=lib \
    -DCMAKE_INSTALL_INCLUDEDIR=include -DKISSFFT_DATATYPE=float -DKISSFFT_STATIC=ON \
    -DKISSFFT_TEST=OFF -DKISSFFT_TOOLS=OFF -DKISSFFT_PKGCONFIG=OFF -DKISSFFT_OPENMP=OFF \
    >>"$log" 2>&1 || exit 3
  cmake --build "$work/build" -j2 --target install >>"$log" 2>&1 || exit 3
  cp "$src/debian/copyright" "$out/copyright"
  mkdir -p "$out/source"
  cp "$work"/kissfft_* "$out/source/"
  rm -rf "$work"
) 9>"$out.lock" || case $? in
  2) fail "could not fetch Debian's source package kissfft $version (run scripts/deps.sh as root first)" ;;
  4) fail "apt offers no source package kissfft $version, the version the tests ran with (apt-cache showsrc kissfft lists what it has)" ;;
  *) fail "the build of KissFFT failed" ;;
esac
[ -f "$out/lib/libkissfft-float.a" ] || fail "the build left no lib/libkissfft-float.a"
