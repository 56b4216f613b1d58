#!/usr/bin/env bash
# Configures and builds Corvane into ./build (relative to the source tree).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
JOBS="$(nproc 2>/dev/null || echo 2)"

# A build from scratch with the Qt headers precompiled. Every source is
# compiled on its own, never in batches, so a source that forgets to include
# a header of the project fails here (the sanitizer build batches them).
# The test command (CORVANE_TEST_BUILD=1) optimises lightly and leaves out
# debug information: the suite needs neither, and the build is much shorter.
if [ -n "${CORVANE_TEST_BUILD:-}" ]; then
  FLAGS="-O1 -g0 -DNDEBUG"
else
  FLAGS="-O2 -g -DNDEBUG"
fi
cmake -S "$ROOT" -B "$BUILD" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$FLAGS" -DCORVANE_UNITY=OFF -DCORVANE_PCH=ON
cmake --build "$BUILD" -j"$JOBS" "$@"
