#!/usr/bin/env bash
# Renders every dialog of the Qt front end, each page of the "Options"
# sheet, and a field the machine cannot use, marked, with its tool tip
# (options-marked-field.png), to PNG files in doc/screenshots/. The windows
# are drawn on a virtual X display (xvfb-run), or on Qt's offscreen platform
# where there is none. Also takes the windows as the command-line host shows
# them:
#   barpost config examples/machine.ini ANGLE1          -> cli-config-options.png
#   barpost process ... examples/job-missing-hole.cam   -> cli-process-setup.png
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BARPOST_BUILD_DIR:-build}
out=doc/screenshots
bash scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBARPOST_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target barpost_module barpost_cli barpost_qt qt_widgets_tests >/dev/null

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
"${display[@]}" "$build/qt_widgets_tests" --screenshot "$out"

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
for f in cli-config-options cli-process-setup options-marked-field setup-machine; do
  [ -s "$out/$f.png" ] || { echo "no window was shown: $out/$f.png missing" >&2; exit 1; }
done
ls -l "$out"/*.png
