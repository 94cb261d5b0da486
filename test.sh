#!/usr/bin/env bash
# Builds Oxlo three times and runs every test:
#   build/native  Linux build with AddressSanitizer and UndefinedBehaviorSanitizer: the logic over
#                 the portable platform (unit tests);
#   build/fuzz    the libFuzzer targets of the readers of outside data, each run shortly from its
#                 seeds (one test per target);
#   build/mingw   oxlo.exe and the Windows test programs, run under Wine: the same unit tests over
#                 the real Win32 registry and files, the Win32 integration tests, and the
#                 end-to-end tests that drive oxlo.exe in a virtual display.
# Build and test output goes to log files under build/; the terminal gets the essentials and the
# last line is "N passed, N failed". The exit code is non-zero when anything failed.
set -uo pipefail

cd "$(dirname "$0")"
root=$PWD
source tools/wine-env.sh
source tools/fuzz-common.sh

started=$SECONDS
passed=0
failed=0
wine_root=$root/build/mingw-wine
unit_prefix=$wine_root/unit
base_prefix=$wine_root/base
base_pid=

say() { printf '== %s\n' "$*"; }

cleanup() {
  [ -n "$base_pid" ] && kill "$base_pid" 2>/dev/null
  if [ -n "${native_pid:-}" ]; then
    pkill -P "$native_pid" 2>/dev/null
    kill "$native_pid" 2>/dev/null
  fi
  WINEPREFIX=$unit_prefix oxlo_stop_wineserver
  WINEPREFIX=$base_prefix oxlo_stop_wineserver
  oxlo_stop_xvfb
}
trap cleanup EXIT
trap 'exit 130' INT TERM

tools/install-packages.sh || exit 1
mkdir -p build

# build PRESET: configures and builds build/PRESET; output in build/PRESET-build.log.
build() {
  local preset=$1 log=$root/build/$1-build.log
  say "Building $preset (log: build/$preset-build.log)"
  if cmake --preset "$preset" >"$log" 2>&1 && cmake --build --preset "$preset" -j2 >>"$log" 2>&1
  then
    return 0
  fi
  grep -E -A3 'error|Error [0-9]|CMake Error' "$log" | head -n 40
  echo "The $preset build failed (see build/$preset-build.log)"
  failed=$((failed + 1))
  return 1
}

# run_ctest NAME BUILD-DIR CTEST-ARGUMENTS...: runs ctest with its output in build/NAME-tests.log
# and its results in build/NAME-tests.xml.
run_ctest() {
  local name=$1 dir=$2
  shift 2
  rm -f "$root/build/$name-tests.xml"
  ctest --test-dir "$dir" --output-on-failure --timeout 300 \
    --output-junit "$root/build/$name-tests.xml" "$@" </dev/null >"$root/build/$name-tests.log" 2>&1
}

# report_tests NAME: shows the failures and ctest's closing lines of a run_ctest and adds its
# counts to the totals.
report_tests() {
  local name=$1
  local log=$root/build/$name-tests.log junit=$root/build/$name-tests.xml
  # What failed and where, then ctest's own summary.
  grep -E '\*\*\*(Failed|Timeout|Exception|Not Run)|: Failure$|^Expected|^  Actual|^Value of|^Which is|^C\+\+ exception|ERROR: AddressSanitizer|runtime error:' "$log" | head -n 60
  sed -n '/tests passed, /,$p' "$log"
  if [ -f "$junit" ]; then
    # Passed: the tests that ran and did not fail. Failed: ctest's list of failures, which also
    # holds the tests that could not start (skipped tests are in neither).
    local ran failures
    ran=$(grep -c 'status="run"' "$junit")
    failures=$(sed -n '/^The following tests FAILED:/,/^[^\t]/p' "$log" | grep -c -P '^\t\s*\d+ - ')
    passed=$((passed + ran))
    failed=$((failed + failures))
  elif ! grep -q 'No tests were found' "$log"; then
    echo "ctest did not run (see build/$name-tests.log)"
    failed=$((failed + 1))
  fi
}

# run_tests NAME BUILD-DIR CTEST-ARGUMENTS...: run_ctest, then report_tests.
run_tests() {
  say "Testing $1 (log: build/$1-tests.log)"
  run_ctest "$@"
  report_tests "$1"
}

# The counts that the parts of the generated collections wrote during the native tests, as one line.
collections_line() {
  local files=(build/native/generated-collections-*.txt)
  [ -e "${files[0]}" ] || return 0
  awk '{s += $1; o += $2; k += $3; b += $4}
       END {printf "generated collections: %d sequences, %d operations, %d injected faults, %d broken promises\n", s, o, k, b}' \
    "${files[@]}"
}

# run_fuzz: each fuzz target for a fixed number of inputs from its seeds, with a fixed random seed;
# one test per target, failed when it crashed or broke a property (its input is then in
# build/fuzz/crashes/TARGET/). Output in build/fuzz-tests.log.
run_fuzz() {
  local target scratch log=$root/build/fuzz-tests.log
  say "Fuzzing (log: build/fuzz-tests.log)"
  oxlo_fuzz_seeds "$root"
  : >"$log"
  for target in "${OXLO_FUZZ_TARGETS[@]}"; do
    scratch=$root/build/fuzz/quick/$target
    rm -rf "$scratch"
    if oxlo_fuzz_run "$root" "$target" "$scratch" "$scratch.log" -runs=10000 -seed=1; then
      passed=$((passed + 1))
    else
      grep -E -m 3 'property broken|ERROR: (libFuzzer|AddressSanitizer)|runtime error:' "$scratch.log"
      echo "Fuzz target $target failed"
      failed=$((failed + 1))
    fi
    { echo "== $target"; cat "$scratch.log"; } >>"$log"
  done
}

# A clean Wine prefix takes ~10 s to make: make it while the native build runs.
mkdir -p "$wine_root"
(oxlo_make_prefix "$base_prefix" "$wine_root/base.log" && touch "$base_prefix/.oxlo-ready") &
base_pid=$!

oxlo_start_xvfb "$root/build/xvfb.log" || exit 1
say "Display $DISPLAY"

# Everything is built first. The MinGW unit tests then run one at a time (they share the one
# registry of their prefix) and leave a core mostly idle: the native tests run beside them.
native_built=false fuzz_built=false mingw_built=false
build native && native_built=true
build fuzz && fuzz_built=true
build mingw && mingw_built=true

native_pid=
if $native_built; then
  rm -f build/native/generated-collections-*.txt
  say "Testing native in the background (log: build/native-tests.log)"
  run_ctest native build/native -j2 &
  native_pid=$!
fi

prefix_ready=false
if $mingw_built; then
  wait "$base_pid"
  base_pid=
  if [ -f "$base_prefix/.oxlo-ready" ]; then
    prefix_ready=true
    # The unit and Win32 tests share one copy of the prefix, started detached from ctest's pipes.
    oxlo_copy_prefix "$base_prefix" "$unit_prefix"
    export WINEPREFIX=$unit_prefix
    oxlo_start_wineserver
    run_tests mingw build/mingw -LE e2e
    oxlo_stop_wineserver
    unset WINEPREFIX
  else
    echo "No Wine prefix (see build/mingw-wine/base.log)"
    failed=$((failed + 1))
  fi
fi

if [ -n "$native_pid" ]; then
  wait "$native_pid"
  native_pid=
  say "Native tests (log: build/native-tests.log)"
  report_tests native
  collections_line
fi

if $fuzz_built; then
  run_fuzz
fi

if $prefix_ready; then
  # Each end-to-end test makes its own copy of the base prefix and its own display.
  export OXLO_E2E_BASE_PREFIX=$base_prefix
  run_tests e2e build/mingw -L e2e -j2
  say "Screenshots in build/mingw/e2e-screenshots"
fi

say "test.sh took $((SECONDS - started)) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
