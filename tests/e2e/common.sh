# Sourced by the end-to-end tests. Brings up the Wine harness when a test runs on its
# own (under scripts/test.sh it is up already), names the build's folders, keeps the
# failure count, and sets the prefix's settings file aside until the test ends.
set -u
src=${BRAMLOE_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export BRAMLOE_BUILD=${BRAMLOE_BUILD:-$(dirname "${BRAMLOE_BUILD_DIR:?}")}
e2e_own_harness=
if [ -z "${BRAMLOE_HARNESS_UP:-}" ]; then
  source "$src/scripts/harness.sh"
  harness_up
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
ini=$WINEPREFIX/drive_c/users/$(id -un)/BRAMLOE.INI

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

# e2e_workdir NAME: a fresh folder for the test's files in the build folder.
e2e_workdir() {
  work=$bin/$1
  rm -rf "$work"
  mkdir -p "$work"
}

# The settings file as it was before the test (or none) comes back at exit.
e2e_keep_settings() {
  mkdir -p "$(dirname "$ini")"
  e2e_kept=$(mktemp)
  if [ -f "$ini" ]; then cp "$ini" "$e2e_kept"; else rm -f "$e2e_kept"; fi
  e2e_at_exit e2e_restore_settings
}
e2e_restore_settings() {
  rm -f "$ini"
  if [ -f "$e2e_kept" ]; then mv "$e2e_kept" "$ini"; fi
}
