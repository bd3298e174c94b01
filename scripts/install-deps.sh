#!/usr/bin/env bash
# Installs what building and testing barpost needs on Debian 12 (run as root).
# Qt 6 Widgets builds the windows (libbarpost_qt.so); xvfb and xauth give the
# screenshot script a display, and librsvg2-bin renders the preview pictures.
# mingw-w64 cross-builds barpost.dll, wine64 runs the Windows build's tests,
# and GoogleTest's sources build it for them.
set -euo pipefail
packages=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev binutils
          qt6-base-dev xvfb xauth locales librsvg2-bin
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
          wine64 wine googletest)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The tests run programs under a decimal-comma locale, as a host may set one.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
