#!/usr/bin/env bash
# Builds the FFT library of the voice setting, once, from Debian's source package: a
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
source "$(dirname "${BASH_SOURCE[0]}")/source_package.sh"

build() {  # source folder, work folder
  # Its messages name their source file: the work folder is mapped away, so two
  # checkouts build the same bytes.
  CFLAGS="${CFLAGS:-} -ffile-prefix-map=$2=/kissfft" \
    cmake -S "$1" -B "$2/build" ${toolchain:+-DCMAKE_TOOLCHAIN_FILE="$toolchain"} \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$out" -DCMAKE_INSTALL_LIBDIR=lib \
    -DCMAKE_INSTALL_INCLUDEDIR=include -DKISSFFT_DATATYPE=float -DKISSFFT_STATIC=ON \
    -DKISSFFT_TEST=OFF -DKISSFFT_TOOLS=OFF -DKISSFFT_PKGCONFIG=OFF -DKISSFFT_OPENMP=OFF &&
    cmake --build "$2/build" -j2 --target install &&
    cp "$1/debian/copyright" "$out/copyright"
}
source_package_build kissfft "$version" "$out" lib/libkissfft-float.a "KissFFT" build
