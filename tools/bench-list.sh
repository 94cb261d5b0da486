#!/usr/bin/env bash
# Benchmark: how long oxlo.exe takes under Wine to list 0 and 100 mapsets (registry entries alone,
# and 80 with 20 BaseCamp bundles) at start-up and on Refresh, driven from outside as a user sees
# it (tests/e2e/list_bench.cpp). Builds what it needs with the mingw preset, runs in a throwaway
# Wine prefix and display, and prints medians.
#   tools/bench-list.sh [RUNS]
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source tools/wine-env.sh
runs=${1:-7}

tools/install-packages.sh || exit 1
mkdir -p build
log=$root/build/bench-build.log
if ! { cmake --preset mingw && cmake --build --preset mingw -j2 --target oxlo oxlo_list_bench; } \
     >"$log" 2>&1; then
  grep -E -A3 'error|CMake Error' "$log" | head -n 40
  echo "The build failed (see $log)"
  exit 1
fi

scratch=$(mktemp -d /tmp/oxlo-bench.XXXXXX)
export WINEPREFIX=$scratch/prefix
cleanup() {
  oxlo_stop_wineserver
  oxlo_stop_xvfb
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "Making a Wine prefix (about 10 s)"
oxlo_make_prefix "$WINEPREFIX" "$scratch/prefix.log" || { cat "$scratch/prefix.log"; exit 1; }
mkdir -p "$scratch/work"
oxlo_start_xvfb "$scratch/xvfb.log" || exit 1
oxlo_start_wineserver
wine explorer /desktop=bench,1024x768 "$root/build/mingw/tests/e2e/oxlo_list_bench.exe" \
  "$(oxlo_windows_path "$root/build/mingw/src/app/oxlo.exe")" "$(oxlo_windows_path "$scratch/work")" \
  "$(oxlo_windows_path "$root/tests/data/village.tdb")" \
  "$(oxlo_windows_path "$root/tests/data/bundles/Test Fam.gmap")" "$runs" \
  </dev/null >"$scratch/bench.out" 2>"$scratch/bench.err"
cat "$scratch/bench.out"
grep -v -E 'Read access denied|^[0-9a-f]{4}:' "$scratch/bench.err" >&2
