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
# Controls and commands are named to the driver (drive, scripts/lib.sh) as ids.h names
# them, so no script spells a number.

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
# BRAMLOE_PLAYER_PID the player's Windows process id, by which the driver finds its
# window and no other. Returns once the launcher has started it; player_close
# (scripts/lib.sh) ends it by its close box, e2e_stop_player by its launcher.
e2e_start_player() {
  rm -f "$work/started.pid"
  e2e_wine "$bin/bramloe.exe" "${@:2}" </dev/null >/dev/null 2>"$1" &
  player_pid=$!
  wait_until 10 "the start of bramloe.exe" e2e_launched ||
    { fail "bramloe.exe was not started"; return 1; }
  [ -s "$work/started.pid" ] || { fail "the launcher ended without starting bramloe.exe"; return 1; }
  BRAMLOE_PLAYER_PID=$(tr -dc 0-9 <"$work/started.pid")
  export BRAMLOE_PLAYER_PID
}
e2e_launched() { [ -s "$work/started.pid" ] || ! kill -0 "$player_pid" 2>/dev/null; }
e2e_stop_player() { player_stop; }
