#!/usr/bin/env bash
# Draws every Windows dialog of the module, and each page of the "Options"
# sheet, into doc/screenshots/windows-*.png: the 64-bit build's
# barpost_win32_screenshots (tools/) drives barpost.dll under wine64 on a
# virtual X display, inside a Wine
# virtual desktop so that the windows have the frames and captions Windows
# draws. Every dialog ends with Cancel; nothing is written but the pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BARPOST_WIN64_BUILD_DIR:-build-win64}
out=doc/screenshots
bash scripts/install-deps.sh
trap 'wine_session_end' EXIT
source scripts/wine-session.sh "$build"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DBARPOST_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target barpost_module barpost_win32_screenshots >/dev/null
mkdir -p "$out"
"$WINE64" explorer /desktop=barpost,900x700 "$build/barpost_win32_screenshots.exe" "$("$WINE64" winepath -w "$out" 2>/dev/null)"
for f in options-general options-offsets options-punching options-nibbling options-nesting \
         options-marking options-profiles setup-machine message-error; do
  [ -s "$out/windows-$f.png" ] || { echo "missing: $out/windows-$f.png" >&2; exit 1; }
done
ls -l "$out"/windows-*.png
