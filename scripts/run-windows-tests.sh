#!/usr/bin/env bash
# Builds barpost.dll for 32-bit Windows (build-win32/, the module only) and
# for 64-bit Windows (build-win64/, with every test) with mingw-w64, checks
# the export tables, imports and the 32-bit calling convention, and runs the
# whole 64-bit suite under wine64 on a virtual X display (the dialog tests
# need one). 32-bit Wine is not at hand, so the 32-bit module is checked by
# its export table and code only. Stops at the first failure; the last line
# is the summary line of the ctest run.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
log=$(mktemp)
trap 'wine_session_end; rm -f "$log"' EXIT
source scripts/wine-session.sh build-win64

echo "===== 32-bit Windows module (build-win32/)"
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DBARPOST_WERROR=ON -DBARPOST_TESTS=OFF >/dev/null
cmake --build build-win32 -j"$jobs" --target barpost_module barpost_cli
cmake -DMODULE=build-win32/barpost.dll -DOBJDUMP=i686-w64-mingw32-objdump \
  -P tests/check_windows_module.cmake

echo "===== 64-bit Windows module and the suite under wine64 (build-win64/)"
cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DBARPOST_WERROR=ON -DBARPOST_TESTS=ON >/dev/null
cmake --build build-win64 -j"$jobs"
status=0
ctest --test-dir build-win64 --output-on-failure -j"$jobs" 2>&1 | tee "$log" || status=$?
summary=$(grep -E '^[0-9]+% tests passed' "$log" | tail -1 || true)
if [ "$status" -ne 0 ] || [ -z "$summary" ]; then
  echo "----- build-win64: tests failed"
  echo "${summary:-ctest did not run: no summary}"
  exit 1
fi
echo "$summary"
