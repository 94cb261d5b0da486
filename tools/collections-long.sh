#!/usr/bin/env bash
# A long run of the generated collections (the "long" preset: optimised, no sanitizers): seeds
# from -seed on for -seconds seconds or for -sequences sequences, in -jobs processes; prints
# progress every 1000 sequences, each broken promise as a replayable case, and the counts. With
# -steps I,J,... it replays those steps of -seed alone.
#   tools/collections-long.sh -sequences 100000 -seed 1 -jobs 2
#   tools/collections-long.sh -seconds 3600 -seed 1
#   tools/collections-long.sh -seed 44 -steps 5
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build
if [ ! -f build/long/CMakeCache.txt ]; then
  cmake --preset long >build/collections-long-build.log 2>&1 ||
    { tail -n 20 build/collections-long-build.log; exit 1; }
fi
cmake --build --preset long >>build/collections-long-build.log 2>&1 ||
  { tail -n 20 build/collections-long-build.log; exit 1; }
exec build/long/tests/generated/collections_long "$@"
