#!/usr/bin/env bash
# Renders every dialog of the Qt front end, each page of the "Options"
# sheet, and a field the machine cannot use, marked, with its tool tip
# (options-marked-field.png), to PNG files in doc/screenshots/. The windows
# are drawn on a virtual X display (xvfb-run), or on Qt's offscreen platform
# where there is none. Also takes the windows as the command-line host shows
# them:
#   barpost config examples/machine.ini ANGLE1          -> cli-config-options.png
#   barpost process ... examples/job-missing-hole.cam   -> cli-process-setup.png
# and renders two preview pictures with rsvg-convert (librsvg):
#   barpost preview ... --job examples/job.cam --bar     -> preview-job-bar.png
#   an imported DSTV angle, its program checked          -> preview-dstv-angle.png
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BARPOST_BUILD_DIR:-build}
out=doc/screenshots
bash scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBARPOST_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target barpost_module barpost_cli barpost_qt barpost_qt_screenshots >/dev/null

if command -v xvfb-run >/dev/null; then
  display=(xvfb-run -a -s "-screen 0 1280x1024x24")
else
  export QT_QPA_PLATFORM=offscreen
  display=()
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work/runtime}

mkdir -p "$out"
"${display[@]}" "$build/barpost_qt_screenshots" "$out"

# The real host: each dialog is saved once it is up and then cancelled, so
# neither run changes anything. The job needs a 14 hole that no unit carries:
# one red row and OK disabled.
cp examples/machine.ini "$work/machine.ini"
cp -r examples/MACRO_MK "$work/MACRO_MK"
BARPOST_UI=gui BARPOST_QT_SNAPSHOT="$out/cli-config-" \
  "${display[@]}" "$build/barpost" config "$work/machine.ini" ANGLE1
cmp -s examples/machine.ini "$work/machine.ini" || { echo "config changed the INI file" >&2; exit 1; }
status=0
BARPOST_UI=gui BARPOST_QT_SNAPSHOT="$out/cli-process-" \
  "${display[@]}" "$build/barpost" process "$work/machine.ini" ANGLE1 \
  examples/job-missing-hole.cam "$work/B1.MPF" || status=$?
[ "$status" -eq 3 ] || { echo "process: expected exit status 3 (cancelled), got $status" >&2; exit 1; }
# The preview pictures, drawn by the command line and rendered by librsvg.
"$build/barpost" preview "$work/machine.ini" ANGLE1 --job examples/job.cam --bar \
  -o "$work/job.svg" >/dev/null
rsvg-convert -w 1100 "$work/job-bar-7-1.svg" -o "$out/preview-job-bar.png"
"$build/barpost" import --bar 6000 --kerf 3 -o "$work/angle.cam" examples/dstv/A-201.nc1 >/dev/null
BARPOST_UI=auto "$build/barpost" process "$work/machine.ini" ANGLE1 "$work/angle.cam" \
  "$work/B2.MPF" >/dev/null
"$build/barpost" preview "$work/machine.ini" ANGLE1 --job "$work/angle.cam" \
  --program "$work/B2.MPF" -o "$work/angle.svg" >/dev/null
rsvg-convert -w 1100 "$work/angle.svg" -o "$out/preview-dstv-angle.png"

for f in cli-config-options cli-process-setup options-marked-field setup-machine \
         preview-job-bar preview-dstv-angle; do
  [ -s "$out/$f.png" ] || { echo "not drawn: $out/$f.png missing" >&2; exit 1; }
done
ls -l "$out"/*.png
