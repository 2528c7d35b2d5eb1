#!/usr/bin/env bash
# Installs what the build and the tests need, once: a package already present is not
# fetched again, and apt-get runs only when something is missing.
#   scripts/deps.sh          build and test packages
#   scripts/deps.sh locale   only the Japanese locale (scripts/env.sh asks for it)
set -euo pipefail

pkgs=(cmake make g++ g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64 wine
      xvfb xdotool locales fonts-ipafont-gothic googletest libgtest-dev libbenchmark-dev
      gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
      lame vorbis-tools imagemagick icoutils python3 dpkg-dev)

missing=()
if [ "${1:-}" != locale ]; then
  for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
fi
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "deps: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  echo "deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # apt's own notes (debconf's frontends, apt-utils) are kept in the log unless it fails.
  log=$(mktemp)
  if ! { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
fi

# The libraries built from Debian's source packages (scripts/soundtouch.sh, scripts/kissfft.sh):
# apt needs a source entry beside the machine's own binary one, for the same suite.
if [ "${1:-}" != locale ] && ! apt-cache showsrc soundtouch 2>/dev/null | grep -q '^Package:'; then
  if [ "$(id -u)" != 0 ]; then
    echo "deps: no Debian source entry for apt (run as root to add one)" >&2
    exit 1
  fi
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  # The mirror the machine already takes its packages from, where it names one.
  uri=$(awk '$1 == "URIs:" && $2 !~ /security/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
  cat > /etc/apt/sources.list.d/bramloe-sources.sources <<SOURCES
Types: deb-src
URIs: ${uri:-http://deb.debian.org/debian}
Suites: $suite
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  log=$(mktemp)
  apt-get update -qq >"$log" 2>&1 || { cat "$log" >&2; rm -f "$log"; exit 1; }
  rm -f "$log"
fi

# Wine needs the Japanese locale to give the program code page 932.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  if [ "$(id -u)" = 0 ]; then
    [ -f /etc/locale.gen ] || { echo "deps: /etc/locale.gen is missing (is the locales package installed?)" >&2; exit 1; }
    sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  else
    echo "deps: locale ja_JP.UTF-8 is missing (run as root to generate it)" >&2
    exit 1
  fi
fi
