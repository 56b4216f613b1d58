#!/usr/bin/env bash
# Configures and builds Corvane into ./build (relative to the source tree).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
JOBS="$(nproc 2>/dev/null || echo 2)"

# A build from scratch with the Qt headers precompiled. Every source is
# compiled on its own, never in batches, so a source that forgets to include
# a header of the project fails here (the sanitizer build batches them).
cmake -S "$ROOT" -B "$BUILD" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVANE_UNITY=OFF -DCORVANE_PCH=ON
cmake --build "$BUILD" -j"$JOBS" "$@"
