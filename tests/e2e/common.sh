# Sourced by the end-to-end tests. Brings up the Wine harness when a test runs on its
# own (under scripts/test.sh it is up already), names the build's folders, keeps the
# failure count, and gives the test a folder and a settings file of its own.
set -u
src=${BRAMLOE_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export BRAMLOE_BUILD=${BRAMLOE_BUILD:-$(dirname "${BRAMLOE_BUILD_DIR:?}")}
e2e_own_harness=
if [ -z "${BRAMLOE_HARNESS_UP:-}" ]; then
  source "$src/scripts/harness.sh"
  harness_up || exit 1
  e2e_own_harness=1
else
  source "$src/scripts/env.sh"
fi
bin=${BRAMLOE_BUILD_DIR:?}
status=0
fail() { echo "FAIL: $*"; status=1; }
# The command and control IDs under their names in ids.h (ID_PLAY=106, ...), read from
# the header itself so that no script spells a number.
eval "$(sed -n 's/^#define \(IDC\{0,1\}_[A-Z0-9_]*\) \([0-9][0-9]*\)$/\1=\2/p' "$src/src/resources/ids.h")"

# Cleanups run at exit, last registered first, before the harness goes down.
e2e_cleanups=()
e2e_at_exit() { e2e_cleanups=("$1" "${e2e_cleanups[@]}"); }
e2e_finish() {
  local c
  for c in "${e2e_cleanups[@]}"; do "$c"; done
  [ -n "$e2e_own_harness" ] && harness_down
  return 0
}
trap e2e_finish EXIT

# e2e_workdir NAME: a fresh folder for the test's files in the build folder, its own
# among all runs of the test; removed at exit unless the test failed. The settings
# file is $ini, in the test's own profile folder ($profile), which the programs the
# test starts through e2e_wine see as USERPROFILE.
e2e_workdir() {
  work=$(mktemp -d "$bin/$1.XXXXXX")
  profile=$work/profile
  mkdir -p "$profile"
  ini=$profile/BRAMLOE.INI
  e2e_at_exit e2e_remove_workdir
}
e2e_remove_workdir() {
  if [ "$status" = 0 ]; then rm -rf "$work"; else echo "the test's files are kept in $work"; fi
}

# e2e_wine PROGRAM [ARGUMENTS...]: runs a Windows program of the build with the test's
# own profile folder, through a launcher that ends it when the launcher is stopped.
# The program's Windows process id is written to $work/started.pid.
e2e_wine() {
  local program=$1; shift
  "$src/scripts/wine-run.sh" "$bin/bramloe_in_profile.exe" "$(winpath "$profile")" \
    "$(winpath "$work/started.pid")" "$(winpath "$program")" "$@"
}

# e2e_start_player LOG [ARGUMENTS...]: bramloe.exe in the background with the arguments,
# its Wine messages in LOG.
# player_pid is the launcher's Unix process (stopping it stops the player), and
# BRAMLOE_PLAYER_PID the player's Windows process id, by which the drivers find its
# window and no other.
e2e_start_player() {
  rm -f "$work/started.pid"
  e2e_wine "$bin/bramloe.exe" "${@:2}" </dev/null >/dev/null 2>"$1" &
  player_pid=$!
  local i
  for i in $(seq 200); do
    [ -s "$work/started.pid" ] && break
    kill -0 "$player_pid" 2>/dev/null || break
    sleep 0.05
  done
  [ -s "$work/started.pid" ] || { fail "bramloe.exe was not started within 10 s"; return 1; }
  BRAMLOE_PLAYER_PID=$(tr -dc 0-9 <"$work/started.pid")
  export BRAMLOE_PLAYER_PID
}

# e2e_stop_player: ends the player by its launcher, when it still runs.
e2e_stop_player() {
  [ -n "${player_pid:-}" ] || return 0
  kill "$player_pid" 2>/dev/null
  wait "$player_pid" 2>/dev/null
  player_pid=
}
