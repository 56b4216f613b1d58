#!/usr/bin/env bash
# Configures and builds Corvane into ./build (relative to the source tree).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
JOBS="$(nproc 2>/dev/null || echo 2)"

# A build from scratch: sources in batches, the tests' Qt headers precompiled.
cmake -S "$ROOT" -B "$BUILD" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVANE_UNITY=ON -DCORVANE_PCH=ON
cmake --build "$BUILD" -j"$JOBS" "$@"
