#!/usr/bin/env bash
# Builds oxlo.exe (MinGW, build/mingw) and starts it under Wine in $WINEPREFIX (default ~/.wine,
# made when missing). Oxlo looks for cgpsmapper.exe and cpreview.exe in the folder you run this
# script from.
# With a display ($DISPLAY set) Oxlo opens there and the script waits until you quit it.
# Without one, it runs Oxlo in a virtual display, saves a picture of the main window under build/,
# prints the picture's path and ends Oxlo.
# ./run.sh --demo does the same in a throwaway prefix holding a small collection made from
# tests/data (tools/demo-collection.sh), removed again when Oxlo ends.
set -uo pipefail

demo=0
case ${1:-} in
  '') ;;
  --demo) demo=1 ;;
  *) echo "usage: ./run.sh [--demo]" >&2; exit 2 ;;
esac

workdir=$PWD
cd "$(dirname "$0")"
root=$PWD
source tools/wine-env.sh
source tools/demo-collection.sh

tools/install-packages.sh || exit 1
mkdir -p build

log=$root/build/run-build.log
targets=(oxlo)
[ -z "${DISPLAY:-}" ] && targets+=(oxlo_snapshot)
echo "Building oxlo.exe (log: build/run-build.log)"
if ! { cmake --preset mingw && cmake --build --preset mingw -j2 --target "${targets[@]}"; } \
     >"$log" 2>&1; then
  grep -E -A3 'error|CMake Error' "$log" | head -n 40
  echo "The build failed (see build/run-build.log)"
  exit 1
fi
oxlo_exe=$root/build/mingw/src/app/oxlo.exe

demo_prefix=
cleanup() {
  if [ -n "${OXLO_XVFB_PID:-}" ] || [ -n "$demo_prefix" ]; then
    # Let Wine's own processes end before their display goes.
    timeout 30 wineserver -w </dev/null >/dev/null 2>&1 || oxlo_stop_wineserver
  fi
  oxlo_stop_xvfb
  if [ -n "$demo_prefix" ]; then
    oxlo_stop_wineserver
    rm -rf "$demo_prefix"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "$demo" = 1 ]; then
  demo_prefix=$(mktemp -d "${TMPDIR:-/tmp}/oxlo-demo.XXXXXX") || exit 1
  export WINEPREFIX=$demo_prefix
  echo "Making the demo's Wine prefix $WINEPREFIX (removed when Oxlo ends)"
  oxlo_make_prefix "$WINEPREFIX" "$root/build/run-wineboot.log" || {
    echo "wineboot failed (see build/run-wineboot.log)"
    exit 1
  }
  oxlo_make_demo_collection "$WINEPREFIX" "$root" "$oxlo_exe" || {
    echo "The demo collection could not be made"
    exit 1
  }
  oxlo_exe=$OXLO_DEMO_EXE
  [ -f "$(dirname "$oxlo_exe")/mkgmap.jar" ] ||
    echo "mkgmap is not installed (apt-get install mkgmap): Oxlo will ask for mkgmap.jar"
fi

export WINEPREFIX=${WINEPREFIX:-$HOME/.wine}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix $WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i </dev/null >"$root/build/run-wineboot.log" 2>&1 || {
    echo "wineboot failed (see build/run-wineboot.log)"
    exit 1
  }
fi
oxlo_add_wine_fonts "$WINEPREFIX" || echo "Could not copy Wine's fonts into $WINEPREFIX (title bar buttons may show as 0, 1 and r)"

wine_log=$root/build/run-wine.log
if [ -n "${DISPLAY:-}" ]; then
  echo "Starting Oxlo on $DISPLAY in $workdir (Wine's output: build/run-wine.log)"
  (cd "$workdir" && wine "$oxlo_exe") </dev/null >"$wine_log" 2>&1
  code=$?
  echo "Oxlo ended with exit code $code"
  exit "$code"
fi

oxlo_start_xvfb "$root/build/run-xvfb.log" || exit 1
bmp=$root/build/oxlo-main-window.bmp
png=$root/build/oxlo-main-window.png
rm -f "$bmp" "$png"
echo "No display: running Oxlo in a virtual one ($DISPLAY) in $workdir"
# A Wine virtual desktop stands in for the missing window manager.
wine explorer /desktop=oxlo,1024x768 "$root/build/mingw/tests/e2e/oxlo_snapshot.exe" \
  "$(oxlo_windows_path "$oxlo_exe")" "$(oxlo_windows_path "$workdir")" "$(oxlo_windows_path "$bmp")" \
  </dev/null >"$wine_log" 2>&1
if [ ! -f "$bmp" ] || ! convert "$bmp" "$png" >/dev/null 2>&1; then
  grep -v 'Read access denied' "$wine_log" | tail -n 20
  echo "No screenshot of the main window (Wine's output: build/run-wine.log)"
  exit 1
fi
rm -f "$bmp"
echo "Screenshot of the main window: $png"
