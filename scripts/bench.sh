#!/usr/bin/env bash
# The benchmarks, on optimised builds: the native bench/*_bench programs, then the
# Windows ones under Wine (bench/*.sh), ending with the summary lines, which also go to
# build/bench.txt:
#   cpu ratio, cpu floor, startup ratio, play ratio   (bench/ratios_wine.sh, side by side)
#   keep tempo cpu                         (bench/keep_tempo_wine.sh, on against off)
#   practice cpu, vocal cpu, loop gap      (bench/practice_wine.sh: 85 % tempo against
#                                           100 %, the voice taken out against as recorded,
#                                           side by side; the loop's jump back heard)
#   vocal reduction, side loss             (native, bench/vocal_bench.cpp: the synthetic song)
#   karaoke cpu, fill steps                (bench/karaoke_wine.sh: word tags against line
#                                           tags, side by side; the fill's longest step)
#   overlay cpu                            (bench/overlay_wine.sh: the lyrics window shown
#                                           against hidden, side by side)
#   match report, lookup, skip chain       (native; CPU time of the process)
#
#   scripts/bench.sh                  every benchmark
#   scripts/bench.sh matching [ARGS]  one native program (bench/matching_bench.cpp); ARGS go to it
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/deps.sh"
source "$here/env.sh"
dir=$BRAMLOE_BUILD/native
only=
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then only=$1; shift; fi
results=$BRAMLOE_BUILD/bench-results
mkdir -p "$results"
for src in "$BRAMLOE_SOURCE"/bench/*_bench.cpp; do
  name=$(basename "$src" .cpp)
  [ -z "$only" ] || [ "$name" = "${only}_bench" ] || continue
  build_tree native "$name" -DCMAKE_BUILD_TYPE=Release -DBRAMLOE_WERROR=ON || exit 1
  echo "== $name"
  "$dir/$name" --benchmark_out="$results/$name.json" --benchmark_out_format=json "$@" |
    tee "$results/$name.txt"
done
[ -z "$only" ] || exit 0

# The Windows tree optimised too; each script builds the programs it runs.
build_tree win bramloe -DCMAKE_BUILD_TYPE=Release -DBRAMLOE_WERROR=ON "$BRAMLOE_TOOLCHAIN" || exit 1
for script in "$BRAMLOE_SOURCE"/bench/*.sh; do
  name=$(basename "$script" .sh)
  [ "$name" != common ] || continue  # sourced by the others
  [ "$name" != soak ] || continue  # a quarter of an hour: its own command, bench/soak.sh
  echo "== $name"
  bash "$script" | tee "$results/$name.txt"
done

python3 - "$results" "$BRAMLOE_BUILD/bench.txt" <<'PY'
import json, os, re, sys
results, out = sys.argv[1], sys.argv[2]
def runs(name):
    path = os.path.join(results, name + '.json')
    if not os.path.exists(path):
        return {}
    return {b['name']: b for b in json.load(open(path))['benchmarks']}
def cpu(b, unit):  # CPU time of the process in the given unit
    scale = {'ns': 1e-9, 'us': 1e-6, 'ms': 1e-3, 's': 1.0}
    return b['cpu_time'] * scale[b['time_unit']] / scale[unit]
lines = []
ratios = ''.join(open(os.path.join(results, name)).read() for name in ('ratios_wine.txt', 'keep_tempo_wine.txt', 'practice_wine.txt', 'vocal_bench.txt', 'karaoke_wine.txt', 'overlay_wine.txt') if os.path.exists(os.path.join(results, name)))
for key in ('cpu ratio', 'cpu floor', 'startup ratio', 'play ratio', 'keep tempo cpu', 'practice cpu', 'vocal cpu', 'loop gap', 'vocal reduction', 'side loss',
            'karaoke cpu', 'fill steps', 'overlay cpu'):
    m = re.search('^%s: .*$' % key, ratios, re.M)
    lines.append(m.group(0) if m else '%s: not measured' % key)
report = runs('match_report_bench').get('BM_MatchReport5000/iterations:3')
if report is None or report.get('error_occurred'):
    lines.append('match report: output differs from the recorded one' if report else 'match report: not measured')
else:
    lines.append('match report: %.2f s' % cpu(report, 's'))
matching = runs('matching_bench')
worst, literal = matching.get('BM_MatchingWorstCaseLookup'), matching.get('BM_MatchingWorstCaseLookupReference/iterations:3')
if worst and literal:
    lines.append('lookup: %.0f us worst, %.0f x literal' % (cpu(worst, 'us'), cpu(literal, 'us') / cpu(worst, 'us')))
else:
    lines.append('lookup: not measured')
for name, label in (('BM_MatchingSkipChain5000/1', 'skip chain'), ('BM_MatchingSkipChain5000/0', 'skip chain, dropped songs')):
    chain = matching.get(name)
    lines.append('%s: %.1f ms' % (label, cpu(chain, 'ms')) if chain and not chain.get('error_occurred') else '%s: not measured' % label)
open(out, 'w').write('\n'.join(lines) + '\n')
print('\n'.join(lines))
PY
