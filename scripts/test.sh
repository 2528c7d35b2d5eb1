#!/usr/bin/env bash
# The test command: installs what is missing, builds the native and the Windows targets
# and runs every test (native, native under ASan/UBSan, and Windows under Wine), each
# once: a test that fails counts as failed, a skipped test as skipped, with its reason.
# Extra arguments go to every ctest run (for example -R matching).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/deps.sh" || exit 1
source "$here/harness.sh"
jobs=$(nproc)
echo "== build"
build_tree native all -DBRAMLOE_WERROR=ON || exit 1
build_tree native-asan all -DBRAMLOE_WERROR=ON -DBRAMLOE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug || exit 1
build_tree win all -DBRAMLOE_WERROR=ON "$BRAMLOE_TOOLCHAIN" || exit 1

passed=0 failed=0 skipped=0 status=0
run_ctest() {  # name, ctest arguments...
  local dir=$BRAMLOE_BUILD/$1; shift
  echo "== tests: $(basename "$dir")"
  local junit=$dir/ctest-results.xml
  rm -f "$junit"
  (cd "$dir" && ctest --output-on-failure --output-junit "$junit" "$@") 2>&1 | tee "$dir/ctest.log" |
    grep -vE '^ *(Start|[0-9]+/[0-9]+ Test) ' || true
  # The counts, and why each skipped test was skipped, from ctest's own record.
  local counts
  if ! counts=$(python3 "$here/ctest-results.py" "$junit"); then
    echo "no test results in $junit"; status=1; return
  fi
  local p f s
  read -r p f s <<<"$(tail -1 <<<"$counts")"
  head -n -1 <<<"$counts"
  passed=$((passed + p)) failed=$((failed + f)) skipped=$((skipped + s))
  [ "$f" = 0 ] || status=1
}

run_ctest native -j"$jobs" "$@"
run_ctest native-asan -j"$jobs" "$@"
harness_up || exit 1
trap harness_down EXIT
run_ctest win "$@"
harness_down
trap - EXIT

echo "tests: $passed passed, $failed failed, $skipped skipped"
exit $status
