#!/usr/bin/env bash
# The benchmarks: builds the native tree and runs the bench/*_bench programs.
#   scripts/bench.sh                  every benchmark
#   scripts/bench.sh matching [ARGS]  one program (bench/matching_bench.cpp); ARGS go to it
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/deps.sh"
source "$here/env.sh"
dir=$BRAMLOE_BUILD/native
only=
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then only=$1; shift; fi
cmake -S "$BRAMLOE_SOURCE" -B "$dir" -DBRAMLOE_WERROR=ON >"$dir.configure.log" 2>&1 ||
  { cat "$dir.configure.log"; exit 1; }
for src in "$BRAMLOE_SOURCE"/bench/*_bench.cpp; do
  name=$(basename "$src" .cpp)
  [ -z "$only" ] || [ "$name" = "${only}_bench" ] || continue
  cmake --build "$dir" -j2 --target "$name" >"$dir.bench-build.log" 2>&1 ||
    { grep -E 'error' "$dir.bench-build.log" | head -20; exit 1; }
  echo "== $name"
  "$dir/$name" "$@"
done
