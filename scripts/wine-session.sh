# Sourced by the Windows scripts: a private Wine prefix and a virtual X
# display for the Windows build's programs, up before the build (test
# discovery runs the test programs under wine64 while building, and a cold
# Wine starting its services then can hang it) and ended on exit.
#   source scripts/wine-session.sh BUILD_DIR
# Exports WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, DISPLAY and WINE64.

wine_build_dir=$1
WINE64=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINE64
export WINEPREFIX=${BARPOST_WINEPREFIX:-$PWD/$wine_build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
wine_xvfb_pid=""

wine_session_end() {
  # Only what this session started: the prefix's wine server and our Xvfb.
  WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
  if [ -n "$wine_xvfb_pid" ]; then kill "$wine_xvfb_pid" 2>/dev/null || true; fi
}

# A free display number for Xvfb.
wine_display=""
for n in $(seq 71 99); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    wine_display=$n
    break
  fi
done
if [ -z "$wine_display" ]; then
  echo "no free X display number for Xvfb" >&2
  return 1
fi
Xvfb ":$wine_display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
wine_xvfb_pid=$!
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X$wine_display" ] && break
  sleep 0.1
done
export DISPLAY=":$wine_display"

mkdir -p "$WINEPREFIX"
wineserver -p
"$WINE64" wineboot -i >/dev/null 2>&1
