# Sourced by the project's scripts: where things live and how Wine is run.
# BRAMLOE_BUILD names the build root (default build/ in the checkout); the ready Wine
# prefix and the folders of each run of the harness live below it.
BRAMLOE_SOURCE=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BRAMLOE_BUILD=${BRAMLOE_BUILD:-$BRAMLOE_SOURCE/build}
mkdir -p "$BRAMLOE_BUILD"
BRAMLOE_BUILD=$(cd "$BRAMLOE_BUILD" && pwd)
export BRAMLOE_SOURCE BRAMLOE_BUILD
# A Unix path as Wine's Z: drive names it.
winpath() { echo "Z:${1//\//\\}"; }
export PYTHONPATH="$BRAMLOE_SOURCE/scripts${PYTHONPATH:+:$PYTHONPATH}"

# The prefix every run of the harness is cloned from; inside a run, WINEPREFIX is the
# run's own clone.
export BRAMLOE_READY_PREFIX=$BRAMLOE_BUILD/wineprefix
[ -n "${BRAMLOE_HARNESS_UP:-}" ] || export WINEPREFIX=$BRAMLOE_READY_PREFIX
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Code page 932 inside Wine needs the Japanese locale; LC_ALL would override LANG. On a
# fresh machine the locale is generated first. A shell that read the locale archive
# before it held the locale (the script's own, when this or deps.sh generated it) cannot
# switch to it and warns at every assignment: the script then starts again, once, in a
# fresh shell, which reads the new archive. A shell that is no script (one that sourced
# this file by hand) keeps its own locale; the programs it starts get the Japanese one.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  bash "$BRAMLOE_SOURCE/scripts/deps.sh" locale || return 1
fi
if [ -n "$( (LC_ALL=ja_JP.UTF-8) 2>&1)" ] && [ -z "${BRAMLOE_LOCALE_RESTART:-}" ] && [ -f "$0" ]; then
  export BRAMLOE_LOCALE_RESTART=1
  exec "$BASH" "$0" "$@"
fi
export LANG=ja_JP.UTF-8 2>/dev/null
export LC_ALL=ja_JP.UTF-8 2>/dev/null

source "$BRAMLOE_SOURCE/scripts/lib.sh"
