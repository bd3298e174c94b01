#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each of them for SECONDS
# (default 60), two at a time. The corpus of each target grows in
# build-fuzz/corpus/TARGET, seeded from fuzz/seeds/TARGET; a crash, a leak or
# a timeout leaves its input in build-fuzz/findings/TARGET and makes the
# script fail. Each target's last statistics go to build-fuzz/logs/TARGET.log.
#
#   bash scripts/fuzz.sh 600             # ten minutes per target
#   bash scripts/fuzz.sh 60 fuzz_ini     # one target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_job_reader fuzz_ini fuzz_macro fuzz_traitement)
build=build-fuzz

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is needed (apt-get install clang)" >&2
  exit 1
fi
# The Qt windows are left out: the targets answer every dialog automatically.
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBARPOST_FUZZ=ON -DBARPOST_TESTS=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

export BARPOST_UI=auto
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run_one() {
  local target=$1
  local corpus=$build/corpus/$target findings=$build/findings/$target
  mkdir -p "$corpus" "$findings" "$build/logs"
  cp -n fuzz/seeds/"$target"/* "$corpus"/ 2>/dev/null || true
  local dict=()
  [ -f fuzz/"$target".dict ] && dict=(-dict=fuzz/"$target".dict)
  # -close_fd_mask=2: the module's own messages to standard error are not
  # the fuzzer's business (libFuzzer keeps its own report).
  "$build/$target" "$corpus" "${dict[@]}" -max_total_time="$seconds" -timeout=30 \
    -rss_limit_mb=2560 -max_len=65536 -close_fd_mask=2 -print_final_stats=1 \
    -artifact_prefix="$findings/" >"$build/logs/$target.log" 2>&1
}

status=0
pids=()
names=()
running=0
for target in "${targets[@]}"; do
  run_one "$target" &
  pids+=($!)
  names+=("$target")
  running=$((running + 1))
  if [ "$running" -ge 2 ]; then
    wait "${pids[0]}" || { echo "${names[0]}: FINDING, see $build/findings/${names[0]}"; status=1; }
    pids=("${pids[@]:1}")
    names=("${names[@]:1}")
    running=$((running - 1))
  fi
done
for i in "${!pids[@]}"; do
  wait "${pids[$i]}" || { echo "${names[$i]}: FINDING, see $build/findings/${names[$i]}"; status=1; }
done

for target in "${targets[@]}"; do
  log=$build/logs/$target.log
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  cov=$(echo "$last" | grep -o 'cov: [0-9]*' || true)
  ft=$(echo "$last" | grep -o 'ft: [0-9]*' || true)
  corpus=$(ls "$build/corpus/$target" | wc -l)
  echo "$target: ${runs:-?} runs, ${cov:-cov: ?}, ${ft:-ft: ?}, corpus $corpus files"
done
exit $status
