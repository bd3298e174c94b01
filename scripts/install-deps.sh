#!/usr/bin/env bash
# Installs what building and testing barpost needs on Debian 12 (run as root).
# Qt 6 Widgets builds the windows (libbarpost_qt.so); xvfb and xauth give the
# screenshot script a display, and librsvg2-bin renders the preview pictures.
set -euo pipefail
packages=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev binutils
          qt6-base-dev xvfb xauth librsvg2-bin)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
