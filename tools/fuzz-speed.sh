#!/usr/bin/env bash
# Measures the inputs per second of every fuzz target (or the ones named): each runs a fixed number
# of inputs from its seeds alone, with a fixed random seed, so that runs compare. Prints libFuzzer's
# average (wall clock) and the inputs per second of processor time, which the load of other
# programs on the machine changes less. Uses the targets of build/fuzz as they are.
#
#   tools/fuzz-speed.sh [-runs N] [TARGET...]     (default 200000 inputs per target)
set -uo pipefail

cd "$(dirname "$0")/.."
root=$PWD
source tools/fuzz-common.sh

runs=200000
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    -runs) runs=$2; shift 2 ;;
    -h|--help) sed -n '2,7p' "$0"; exit 0 ;;
    -*) echo "fuzz-speed.sh: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -eq 0 ] && targets=("${OXLO_FUZZ_TARGETS[@]}")

oxlo_fuzz_seeds "$root"
failed=0
printf '%-16s %10s %12s %14s\n' target inputs "exec/s wall" "exec/s of CPU"
for target in "${targets[@]}"; do
  scratch=$root/build/fuzz/speed/$target
  rm -rf "$scratch"
  times=$(mktemp)
  /usr/bin/time -f '%U %S' -o "$times" bash -c "source tools/fuzz-common.sh &&
    oxlo_fuzz_run '$root' '$target' '$scratch' '$scratch.log' -runs=$runs -seed=1 \
      -print_final_stats=1" || failed=1
  wall=$(grep -oE 'average_exec_per_sec: +[0-9]+' "$scratch.log" | grep -oE '[0-9]+$')
  cpu=$(awk -v runs="$runs" '{ t = $1 + $2; printf "%d", (t > 0 ? runs / t : 0) }' "$times")
  rm -f "$times"
  printf '%-16s %10d %12d %14d\n' "$target" "$(oxlo_fuzz_executions "$scratch.log")" \
    "${wall:-0}" "$cpu"
done
exit "$failed"
