#!/usr/bin/env bash
# Builds barpost and runs every test three times: the release build in build/
# (with the Qt windows), a build as on a machine without Qt in build-noqt/,
# then a build with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ (any report is fatal), then the Windows builds, the 64-bit one's
# suite under wine64 (scripts/run-windows-tests.sh). Stops at the first
# failure with a non-zero status; the last line is always the summary line of
# the last ctest run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Runs ctest on build dir $1, shows its output, and ends with its summary line.
run_ctest() {
  local status=0
  ctest --test-dir "$1" --output-on-failure -j"$jobs" 2>&1 | tee "$log" || status=$?
  summary=$(grep -E '^[0-9]+% tests passed' "$log" | tail -1 || true)
  if [ "$status" -ne 0 ] || [ -z "$summary" ]; then
    echo "----- $1: tests failed"
    echo "${summary:-ctest did not run: no summary}"
    exit 1
  fi
}

echo "===== release build (build/)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBARPOST_WERROR=ON -DBARPOST_TESTS=ON >/dev/null
cmake --build build -j"$jobs"
run_ctest build

echo "===== build without Qt (build-noqt/): the module must not need it"
cmake -S . -B build-noqt -DCMAKE_BUILD_TYPE=Debug -DBARPOST_WERROR=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >/dev/null
cmake --build build-noqt -j"$jobs"
if [ -e build-noqt/libbarpost_qt.so ]; then
  echo "----- build-noqt: the Qt plugin was built although Qt was disabled"
  exit 1
fi
run_ctest build-noqt

echo "===== AddressSanitizer + UndefinedBehaviorSanitizer build (build-asan/)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBARPOST_WERROR=ON \
  -DBARPOST_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
run_ctest build-asan
echo "$summary"

echo "===== Windows: barpost.dll for 32 and 64 bits, the suite under wine64"
bash scripts/run-windows-tests.sh
