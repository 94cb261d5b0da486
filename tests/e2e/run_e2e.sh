#!/usr/bin/env bash
# Runs end-to-end tests of oxlo_e2e.exe in a Wine prefix and an X display of their own, so that
# ctest can run several at once. Called by ctest (see CMakeLists.txt):
#   run_e2e.sh --driver oxlo_e2e.exe --oxlo oxlo.exe|none --helpers DIR --data DIR
#              --standins DIR --output DIR --screenshots DIR -- GTEST-ARGUMENTS...
# The base prefix is $OXLO_E2E_BASE_PREFIX when test.sh made one, otherwise one made once here
# (next to the output folder) and kept for later runs. Everything the run writes stays in the
# output folder: driver.out/driver.err (the driver's output), results.xml, work/ (the test
# programs' working folders, drive W: in the prefix); screenshots go to the screenshot folder as
# PNG files.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wine-env.sh"

driver= oxlo= helpers= data= standins= output= screenshots=
while [ $# -gt 0 ]; do
  case $1 in
    --driver) driver=$2; shift 2 ;;
    --oxlo) oxlo=$2; shift 2 ;;
    --helpers) helpers=$2; shift 2 ;;
    --data) data=$2; shift 2 ;;
    --standins) standins=$2; shift 2 ;;
    --output) output=$2; shift 2 ;;
    --screenshots) screenshots=$2; shift 2 ;;
    --) shift; break ;;
    *) echo "run_e2e.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
for required in driver oxlo helpers data standins output screenshots; do
  [ -n "${!required}" ] || { echo "run_e2e.sh: --$required is missing" >&2; exit 2; }
done

base=${OXLO_E2E_BASE_PREFIX:-$(dirname "$output")/base-prefix}
if [ ! -f "$base/.oxlo-ready" ]; then
  # Several tests may start at once: the first one makes the base, the others wait for it.
  mkdir -p "$(dirname "$base")"
  (
    flock 9
    if [ ! -f "$base/.oxlo-ready" ]; then
      echo "Making the base Wine prefix $base"
      oxlo_make_prefix "$base" "$base.log" && touch "$base/.oxlo-ready"
    fi
  ) 9>"$base.lock"
  [ -f "$base/.oxlo-ready" ] || { echo "run_e2e.sh: no Wine prefix (see $base.log)" >&2; exit 1; }
fi

rm -rf "$output"
mkdir -p "$output/work" "$output/shots" "$screenshots"
export WINEPREFIX=$output/prefix
# Files that Oxlo moves to the Recycle Bin land in this test's own XDG trash.
export XDG_DATA_HOME=$output/xdg-data
mkdir -p "$XDG_DATA_HOME/Trash/files" "$XDG_DATA_HOME/Trash/info"

cleanup() {
  oxlo_stop_wineserver
  oxlo_stop_xvfb
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

oxlo_copy_prefix "$base" "$WINEPREFIX" || { echo "run_e2e.sh: cannot copy $base" >&2; exit 1; }
# The scratch folder is drive W: of this prefix. The folder chooser identifies each folder on a
# path by its name and its time of last change, and lists a folder once: a folder on the way that
# changes while the chooser is open (/tmp, or the build folder while other tests start) leaves the
# path unreachable in it. Drive letters carry no such time, and nothing else writes below W:.
ln -s "$output/work" "$WINEPREFIX/dosdevices/w:" || { echo "run_e2e.sh: cannot map drive W:" >&2; exit 1; }
oxlo_start_xvfb "$output/xvfb.log" || exit 1
oxlo_start_wineserver

export OXLO_EXE=$([ "$oxlo" = none ] && echo none || oxlo_windows_path "$oxlo")
export OXLO_E2E_WORK=W:
export OXLO_E2E_SHOTS=$(oxlo_windows_path "$output/shots")
export OXLO_E2E_DATA=$(oxlo_windows_path "$data")
export OXLO_E2E_STANDINS=$(oxlo_windows_path "$standins")
export OXLO_E2E_HELPERS=$(oxlo_windows_path "$helpers")
export OXLO_E2E_RESULT=$(oxlo_windows_path "$output/result")

# The virtual desktop stands in for a window manager (without one every closed window costs 2 s).
# Its own exit code says nothing about the tests: the driver writes its result to a file.
wine explorer /desktop=e2e,1024x768 "$driver" --gtest_output="xml:$(oxlo_windows_path "$output/results.xml")" "$@" \
  </dev/null >"$output/driver.out" 2>"$output/driver.err"
cat "$output/driver.out"
grep -v 'Read access denied for device' "$output/driver.err" >&2

for bmp in "$output"/shots/*.bmp; do
  [ -e "$bmp" ] || continue
  png="$screenshots/$(basename "${bmp%.bmp}").png"
  convert "$bmp" "$png" >/dev/null 2>&1 && echo "Screenshot: $png" || echo "Cannot convert $bmp" >&2
done

result=$(tr -d '\r\n ' <"$output/result" 2>/dev/null)
if [ "$result" != 0 ]; then
  echo "run_e2e.sh: the driver failed (result: ${result:-none}); output in $output"
  exit 1
fi
