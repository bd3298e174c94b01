#!/usr/bin/env bash
# How far barpost is from the disk: times `barpost process` (BARPOST_UI=auto)
# on the 1x, 10x and 100x bench jobs against the floor of each job, reading
# the job and writing a file of the program's size:
#     cat JOB > /dev/null; head -c PROGRAM_SIZE /dev/zero > FILE
# in one run and in turn, barpost then its floor, RUNS times (at least 5),
# and prints the median of the paired ratios. Then the 1000x job against the
# 100x job the same way, the peak memory of each job, and a check that every
# program has the SHA-256 recorded in bench/programs.txt.
#
#   bash bench/floor.sh [BUILD_DIR]
#
# Without BUILD_DIR it configures and builds build-bench/ (Release) first.
# RUNS (default 7) sets the number of paired runs; BIG=0 leaves out the
# 1000x job (41 MB, a program of 99 MB). Exits non-zero when a program
# differs from the recorded one.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
runs=${RUNS:-7}
big=${BIG:-1}
if [ "$runs" -lt 5 ]; then echo "floor.sh: RUNS must be at least 5" >&2; exit 2; fi

if [ $# -ge 1 ]; then
  build=$(cd "$1" && pwd)
else
  build=$top/build-bench
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBARPOST_BENCH=ON -DBARPOST_TESTS=OFF \
    >/dev/null
  cmake --build "$build" -j2 --target barpost_cli barpost_make_job >/dev/null
fi
barpost=$build/barpost
make_job=$build/bench/make_job
for f in "$barpost" "$make_job"; do
  [ -x "$f" ] || { echo "floor.sh: $f is missing; build barpost_cli and barpost_make_job" >&2; exit 2; }
done

work=$(mktemp -d /tmp/barpost-floor.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$top/examples/machine.ini" "$work/template.ini"
cp -r "$top/examples/MACRO_MK" "$work/"
export BARPOST_UI=auto
unset BARPOST_LOG

scales="1 10 100"
[ "$big" = 1 ] && scales="$scales 1000"
for s in $scales; do "$make_job" "$s" "$work/job$s.cam"; done

# One job as the host runs it. Each run starts from the same INI file, whose
# Nomfic names another program, so every run records its program's name as
# a real job does. Prints the wall time in microseconds.
run_barpost() {
  cp "$work/ready.ini" "$work/m.ini"
  local t0=$EPOCHREALTIME
  "$barpost" process "$work/m.ini" ANGLE1 "$work/job$1.cam" "$work/B$1.MPF" >/dev/null
  local t1=$EPOCHREALTIME
  echo $(( ${t1/./} - ${t0/./} ))
}
# The floor of a job: read it, write a file of its program's size.
run_floor() {
  local t0=$EPOCHREALTIME
  cat "$work/job$1.cam" >/dev/null
  head -c "$2" /dev/zero >"$work/floor$1.out"
  local t1=$EPOCHREALTIME
  echo $(( ${t1/./} - ${t0/./} ))
}
# The same, flushed to disk as barpost flushes its program.
run_floor_sync() {
  local t0=$EPOCHREALTIME
  cat "$work/job$1.cam" >/dev/null
  head -c "$2" /dev/zero >"$work/floor$1.out"
  sync "$work/floor$1.out"
  local t1=$EPOCHREALTIME
  echo $(( ${t1/./} - ${t0/./} ))
}
median() { tr ' ' '\n' | grep . | sort -g | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
ms() { awk -v us="$1" 'BEGIN {printf "%.1f", us/1000}'; }

# A first run of each job: the INI file gets the options as barpost writes
# them, the files are in the page cache, and the program sizes are known.
cp "$work/template.ini" "$work/m.ini"
for s in $scales; do
  "$barpost" process "$work/m.ini" ANGLE1 "$work/job$s.cam" "$work/B$s.MPF" >/dev/null
done
sed 's/^Nomfic=.*/Nomfic=PREVIOUS/' "$work/m.ini" >"$work/ready.ini"
declare -A size ratio ratio_sync bp fl fls
for s in $scales; do size[$s]=$(stat -c %s "$work/B$s.MPF"); done

echo "$("$barpost" --version 2>/dev/null | head -1), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), $runs paired runs"
for ((i = 0; i < runs; ++i)); do
  for s in 1 10 100; do
    b=$(run_barpost $s); f=$(run_floor $s "${size[$s]}"); g=$(run_floor_sync $s "${size[$s]}")
    bp[$s]+="$b "; fl[$s]+="$f "; fls[$s]+="$g "
    ratio[$s]+="$(awk -v b="$b" -v f="$f" 'BEGIN {print b/f}') "
    ratio_sync[$s]+="$(awk -v b="$b" -v f="$g" 'BEGIN {print b/f}') "
  done
done

ops_of() { awk -v s="$1" '$1 == s {print $2}' "$top/bench/programs.txt"; }
printf '\n%-5s %10s %10s %8s %12s %8s   (medians; times in ms)\n' job barpost floor ratio "floor+fsync" ratio
for s in 1 10 100; do
  printf '%-5s %10s %10s %7.1fx %12s %7.1fx\n' "${s}x" \
    "$(ms "$(echo "${bp[$s]}" | median)")" "$(ms "$(echo "${fl[$s]}" | median)")" \
    "$(echo "${ratio[$s]}" | median)" "$(ms "$(echo "${fls[$s]}" | median)")" \
    "$(echo "${ratio_sync[$s]}" | median)"
done

if [ "$big" = 1 ]; then
  r=""; t100=""; t1000=""
  for ((i = 0; i < 5; ++i)); do
    a=$(run_barpost 100); b=$(run_barpost 1000)
    t100+="$a "; t1000+="$b "; r+="$(awk -v a="$a" -v b="$b" 'BEGIN {print b/a}') "
  done
  printf '\n1000x job against the 100x job: %s ms against %s ms, %.2fx (median of 5 paired runs)\n' \
    "$(ms "$(echo "$t1000" | median)")" "$(ms "$(echo "$t100" | median)")" "$(echo "$r" | median)"
fi

# Peak memory: the largest resident set of one run, against the operations
# of the job and the job file's size; "empty" is a job with no record, the
# memory of the process itself.
printf '*JOB\nJOB_NAM=EMPTY\n*END\n' >"$work/job0.cam"
peak() {
  cp "$work/ready.ini" "$work/m.ini"
  /usr/bin/time -f %M -o "$work/rss" \
    "$barpost" process "$work/m.ini" ANGLE1 "$work/job$1.cam" "$work/B$1.MPF" >/dev/null 2>&1
  echo $(( $(cat "$work/rss") * 1024 ))
}
base=$(peak 0)
printf '\n%-5s %10s %10s %10s %14s %16s\n' job operations "peak MB" "job MB" "(peak-job)/op" "(peak-job-empty)/op"
printf '%-5s %10s %10.1f\n' empty 0 "$(awk -v b="$base" 'BEGIN {print b/1e6}')"
for s in $scales; do
  p=$(peak $s); j=$(stat -c %s "$work/job$s.cam"); n=$(ops_of $s)
  awk -v s="$s" -v p="$p" -v j="$j" -v n="$n" -v e="$base" 'BEGIN {
    printf "%-5s %10d %10.1f %10.1f %12.0f B %14.0f B\n", s "x", n, p/1e6, j/1e6, (p-j)/n, (p-j-e)/n }'
done

# The programs must be the ones barpost wrote before it was made faster.
echo
status=0
for s in $scales; do
  read -r _ _ job_sha program_sha < <(awk -v s="$s" '$1 == s' "$top/bench/programs.txt")
  got_job=$(sha256sum "$work/job$s.cam" | cut -d' ' -f1)
  got=$(sha256sum "$work/B$s.MPF" | cut -d' ' -f1)
  if [ "$got_job" != "$job_sha" ]; then
    echo "${s}x: the job generator changed: job SHA-256 $got_job, recorded $job_sha"; status=1
  elif [ "$got" != "$program_sha" ]; then
    echo "${s}x: PROGRAM CHANGED: SHA-256 $got, recorded $program_sha"; status=1
  else
    echo "${s}x: program unchanged (SHA-256 ${got:0:16}...)"
  fi
done
exit $status
