#!/usr/bin/env bash
# Builds the Windows release of the checked-in commit and writes build/release/:
# BRAMLOE-<version>-win64.zip (the two programs, readmes, licence, notices),
# BRAMLOE-<version>-source.zip (the commit and the SoundTouch and KissFFT sources it
# was built with) and SHA256SUMS. Needs neither a display nor Wine.
#   bash scripts/release.sh
# Two checkouts of one commit give the same bytes: times come from the commit, the
# checkout's path is mapped away from the executables, and the link stamps no time.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BRAMLOE_BUILD:-$root/build}
tree=$build/release-win
out=$build/release
cd "$root"
bash scripts/deps.sh

# The archives are made from the commit, so the programs must be built from it too.
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "release: the checkout has changes that are not committed; commit them first" >&2
  exit 1
fi
commit=$(git rev-parse HEAD)
export SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit")
export TZ=UTC
version=$(sed -n 's/^#define BRAMLOE_VERSION "\(.*\)"$/\1/p' src/resources/version.h)
soundtouch=$(sed -n 's/^version=//p' scripts/soundtouch.sh)
kissfft=$(sed -n 's/^version=//p' scripts/kissfft.sh)
[ -n "$version" ] && [ -n "$soundtouch" ] && [ -n "$kissfft" ] || { echo "release: no version found" >&2; exit 1; }

# SoundTouch's own CMake build reads the same flags from the environment.
export CXXFLAGS="-ffile-prefix-map=$root=/bramloe"
export LDFLAGS="-s -Wl,--no-insert-timestamp"
# A tree built before its library kept its source package is built afresh.
[ -d "$tree/soundtouch/source" ] || rm -rf "$tree/soundtouch"
log=$build/release.log
mkdir -p "$build"
echo "release: building BRAMLOE $version ($commit) in $tree"
if ! { cmake -S "$root" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
         -DCMAKE_BUILD_TYPE=Release -DBRAMLOE_WERROR=ON -DBRAMLOE_BENCH=OFF \
         -DCMAKE_CXX_FLAGS="$CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" &&
       cmake --build "$tree" -j2 --target bramloe bramloe-match; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "release: the build failed (log: $log)" >&2
  exit 1
fi
# The programs must start on a bare Windows: no DLL but the system's.
for exe in bramloe.exe bramloe-match.exe; do
  bash tests/e2e/imports_test.sh "$tree/$exe" >>"$log" || { cat "$log" >&2; exit 1; }
done

# What Windows shows of the program: its icon (types 3, 14), version (16) and manifest (24).
for type in 3 14 16 24; do
  wrestool -l --type=$type "$tree/bramloe.exe" | grep -q . ||
    { echo "release: bramloe.exe carries no resource of type $type" >&2; exit 1; }
done

rm -rf "$out"
python3 scripts/release.py --version "$version" --commit "$commit" --epoch "$SOURCE_DATE_EPOCH" \
  --tree "$tree" --out "$out" --soundtouch-version "$soundtouch" --kissfft-version "$kissfft"
(cd "$out" && sha256sum -c --quiet SHA256SUMS)
sed 's/^/release: /' "$out/SHA256SUMS"
echo "release: written to $out"
