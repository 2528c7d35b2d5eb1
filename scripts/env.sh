# Sourced by the project's scripts: where things live and how Wine is run.
# BRAMLOE_BUILD names the build root (default build/ in the checkout); the Wine prefix,
# the virtual display's state and the captured sound all live below it.
BRAMLOE_SOURCE=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BRAMLOE_BUILD=${BRAMLOE_BUILD:-$BRAMLOE_SOURCE/build}
mkdir -p "$BRAMLOE_BUILD"
BRAMLOE_BUILD=$(cd "$BRAMLOE_BUILD" && pwd)
export BRAMLOE_SOURCE BRAMLOE_BUILD
# A Unix path as Wine's Z: drive names it.
winpath() { echo "Z:${1//\//\\}"; }
export PYTHONPATH="$BRAMLOE_SOURCE/scripts${PYTHONPATH:+:$PYTHONPATH}"

export WINEPREFIX=$BRAMLOE_BUILD/wineprefix
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Code page 932 inside Wine needs the Japanese locale; LC_ALL would override LANG.
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export BRAMLOE_HARNESS_DIR=$BRAMLOE_BUILD/harness
