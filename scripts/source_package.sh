# Sourced by the scripts that build a library from Debian's source package
# (scripts/soundtouch.sh, scripts/kissfft.sh):
#   source_package_build PACKAGE VERSION OUT LIBRARY WHAT STEP
# fetches PACKAGE=VERSION with apt-get source, only that version, and calls
# STEP SOURCE_FOLDER WORK_FOLDER to build and install it into OUT, once: nothing is done
# while OUT/LIBRARY exists. The package's files are kept in OUT/source, so a release can
# carry the exact source. What the steps print goes to OUT.log, shown only when one
# fails; WHAT names the library in the messages.
source_package_build() {
  local package=$1 version=$2 out=$3 library=$4 what=$5 step=$6
  mkdir -p "$out"
  local log=$out.log
  : >"$log"
  fail() { cat "$log" >&2; echo "$package: $1 (log: $log)" >&2; exit 1; }
  (
    flock 9
    [ -f "$out/$library" ] && exit 0  # built by a caller that held the lock first
    work=$out/work
    rm -rf "$work"
    mkdir -p "$work"
    apt-cache showsrc "$package" 2>>"$log" | grep -qx "Version: $version" || exit 4
    # The source package is unpacked into the work folder; apt's own notes go to the log.
    (cd "$work" && apt-get source -qq "$package=$version") >>"$log" 2>&1 || exit 2
    src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -1)
    [ -n "$src" ] || exit 2
    "$step" "$src" "$work" >>"$log" 2>&1 || exit 3
    mkdir -p "$out/source"
    cp "$work/${package}_"* "$out/source/"
    rm -rf "$work"
  ) 9>"$out.lock" || case $? in
    2) fail "could not fetch Debian's source package $package $version (run scripts/deps.sh as root first)" ;;
    4) fail "apt offers no source package $package $version, the version the tests ran with (apt-cache showsrc $package lists what it has)" ;;
    *) fail "the build of $what failed" ;;
  esac
  [ -f "$out/$library" ] || fail "the build left no $library"
}
