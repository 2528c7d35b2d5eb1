#!/usr/bin/env bash
# Fuzzes the portable code: builds every target of tests/fuzz/ with libFuzzer, ASan and
# UBSan (clang), runs each for SECONDS (default 60), as many at once as there are
# cores, from its seed corpus, and ends with one line per target:
#   fuzz: NAME runs=N crashes=0
# An input that breaks a rule is kept as build/fuzz/crashes/NAME-crash-...; once the
# fault is fixed, copy it into tests/fuzz/corpus/NAME/ so the ordinary tests replay it.
#   scripts/fuzz.sh [SECONDS]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
seconds=${1:-60}
case $seconds in ''|*[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2;; esac

# clang and its runtimes (libFuzzer, the sanitizers), once.
need=()
for p in clang libclang-rt-14-dev python3; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  [ "$(id -u)" = 0 ] || { echo "fuzz: missing packages: ${need[*]} (run as root)" >&2; exit 1; }
  echo "fuzz: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null || exit 1
fi

out=$BRAMLOE_BUILD/fuzz
tree=$out/tree
rm -rf "$tree" "$out/obj" "$out/crashes" "$out/logs"
mkdir -p "$tree" "$out/obj" "$out/bin" "$out/crashes" "$out/logs" "$out/work"

# clang has no code page 932 execution character set: the sources are copied with
# every non-ASCII character written as octal escapes of its code page 932 bytes, the
# bytes the other builds' -fexec-charset=CP932 gives (octal, so no escape runs into a
# following hexadecimal digit).
python3 - "$BRAMLOE_SOURCE" "$tree" <<'EOF' || exit 1
import pathlib, sys
source, tree = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
def escaped(ch):
    if ord(ch) < 128:
        return ch
    try:
        return ''.join('\\%03o' % b for b in ch.encode('cp932'))
    except UnicodeEncodeError:
        return '?'  # only in comments: such a literal would not compile in the other builds
files = [p for p in (source / 'src').glob('*/*') if p.suffix in ('.cpp', '.h') and not p.stem.endswith('_win')]
files += list((source / 'tests' / 'fuzz').glob('*.[ch]*'))
files += list((source / 'tests' / 'native').glob('*.h'))
for p in files:
    target = tree / p.relative_to(source)
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_text(''.join(escaped(c) for c in p.read_text(encoding='utf-8')), encoding='ascii')
EOF

# The FFT library the portable units link, from the same source package as the other trees.
bash "$here/kissfft.sh" "$out/kissfft" || exit 1
flags=(-std=c++17 -O1 -g -fno-omit-frame-pointer -Wno-invalid-source-encoding -I"$tree/src" -I"$tree/tests"
       -isystem "$out/kissfft/include")
san=(-fsanitize=address,undefined -fno-sanitize-recover=all)
jobs=$(nproc)
echo "fuzz: building"
objects=()
build_failed=0
for src in "$tree"/src/*/*.cpp; do
  obj=$out/obj/$(basename "$(dirname "$src")")_$(basename "$src" .cpp).o
  objects+=("$obj")
  clang++ "${flags[@]}" "${san[@]}" -fsanitize=fuzzer-no-link -c "$src" -o "$obj" &
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || build_failed=1; done
done
while [ "$(jobs -rp | wc -l)" -gt 0 ]; do wait -n || build_failed=1; done
[ $build_failed = 0 ] || { echo "fuzz: build failed" >&2; exit 1; }
targets=()
for src in "$tree"/tests/fuzz/*_fuzz.cpp; do
  name=$(basename "$src" _fuzz.cpp)
  targets+=("$name")
  clang++ "${flags[@]}" "${san[@]}" -fsanitize=fuzzer "$src" "${objects[@]}" "$out/kissfft/lib/libkissfft-float.a" -o "$out/bin/$name" || exit 1
done

# Each target searches from its seeds; what it learns stays in build/fuzz/work/NAME
# for the next run, outside the repository.
run_one() {
  local name=$1 log=$out/logs/$1.log
  mkdir -p "$out/work/$name"
  "$out/bin/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/crashes/$name-" "$out/work/$name" "$BRAMLOE_SOURCE/tests/fuzz/corpus/$name" \
    >"$log" 2>&1
}
echo "fuzz: running ${#targets[@]} targets for ${seconds}s each, $jobs at a time"
for name in "${targets[@]}"; do
  run_one "$name" &
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
done
wait

status=0
for name in "${targets[@]}"; do
  log=$out/logs/$name.log
  runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$log" | tail -1)
  [ -n "$runs" ] || runs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')
  crashes=$(find "$out/crashes" -name "$name-*" -type f | wc -l)
  # A target that ended without its closing figures died some other way.
  if ! grep -q '^stat::number_of_executed_units' "$log" && [ "$crashes" = 0 ]; then crashes=1; fi
  [ "$crashes" = 0 ] || { status=1; echo "fuzz: $name failed, see $log" >&2; }
  echo "fuzz: $name runs=${runs:-0} crashes=$crashes"
done
exit $status
