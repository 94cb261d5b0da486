#!/usr/bin/env bash
# A long run of the generated collections (native build, sanitizers): seeds from -seed on for
# -seconds seconds; prints sequences, operations, injected faults and each broken promise as a
# replayable case. With -steps I,J,... it replays those steps of -seed alone.
#   tools/collections-long.sh -seconds 3600 -seed 1
#   tools/collections-long.sh -seed 44 -steps 5
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/native/CMakeCache.txt ]; then
  cmake --preset native >build/collections-long-build.log 2>&1
fi
cmake --build build/native --target collections_long -j2 >>build/collections-long-build.log 2>&1 ||
  { tail -n 20 build/collections-long-build.log; exit 1; }
exec build/native/tests/generated/collections_long "$@"
