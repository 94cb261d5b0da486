#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) long, one after the other, and prints per target the
# inputs executed, the crashes found and the time taken. Builds the "fuzz" preset first.
#
#   tools/fuzz-long.sh [-runs N | -seconds S] [-jobs N] [TARGET...]
#
# -runs N     inputs per target (default 10000000); with -jobs, per job
# -seconds S  time per target instead of a number of inputs
# -jobs N     N fuzzer processes per target at once (default 1)
#
# Each target keeps the inputs that found new code in build/fuzz/corpus/TARGET, so the next run
# starts from there; its log is build/fuzz/logs/TARGET.log (with -jobs also
# build/fuzz/work/TARGET/fuzz-N.log). A crash or broken property leaves its input in
# build/fuzz/crashes/TARGET/; rerun it with build/fuzz/tests/fuzz/TARGET FILE. The exit code is
# non-zero when anything crashed.
set -uo pipefail

cd "$(dirname "$0")/.."
root=$PWD
source tools/fuzz-common.sh

limit=(-runs=10000000)
jobs=1
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    -runs) limit=(-runs="$2"); shift 2 ;;
    -seconds) limit=(-max_total_time="$2"); shift 2 ;;
    -jobs) jobs=$2; shift 2 ;;
    -h|--help) sed -n '2,16p' "$0"; exit 0 ;;
    -*) echo "fuzz-long.sh: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -eq 0 ] && targets=("${OXLO_FUZZ_TARGETS[@]}")

tools/install-packages.sh || exit 1
mkdir -p build
if ! { cmake --preset fuzz && cmake --build --preset fuzz; } >build/fuzz-build.log 2>&1; then
  grep -E -A3 'error|CMake Error' build/fuzz-build.log | head -n 40
  echo "The fuzz build failed (see build/fuzz-build.log)"
  exit 1
fi
oxlo_fuzz_seeds "$root"
mkdir -p build/fuzz/logs

crashed=0
printf '%-16s %12s %8s %8s %8s\n' target executions exec/s crashes seconds
for target in "${targets[@]}"; do
  crashes=$root/build/fuzz/crashes/$target
  log=$root/build/fuzz/logs/$target.log
  work=$root/build/fuzz/work/$target
  mkdir -p "$crashes"
  rm -f "$work"/fuzz-*.log
  before=$(find "$crashes" -type f | wc -l)
  started=$SECONDS
  options=("${limit[@]}")
  [ "$jobs" -gt 1 ] && options+=(-jobs="$jobs" -workers="$jobs")
  oxlo_fuzz_run "$root" "$target" "$root/build/fuzz/corpus/$target" "$log" "${options[@]}"
  seconds=$((SECONDS - started))
  if [ "$jobs" -gt 1 ]; then
    executions=$(oxlo_fuzz_executions "$work"/fuzz-*.log)
  else
    executions=$(oxlo_fuzz_executions "$log")
  fi
  found=$(($(find "$crashes" -type f | wc -l) - before))
  [ "$found" -gt 0 ] && crashed=1
  printf '%-16s %12d %8d %8d %8d\n' "$target" "$executions" \
    $((executions / (seconds > 0 ? seconds : 1))) "$found" "$seconds"
done
[ "$crashed" -eq 0 ] && echo "No crashes." || echo "Crashes in build/fuzz/crashes/ (see build/fuzz/logs/)"
exit "$crashed"
