#!/usr/bin/env bash
# Installs the dependencies, builds and runs the whole test suite.
# Tests run offscreen (no display needed).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

bash "$ROOT/scripts/install-deps.sh"
bash "$ROOT/scripts/build.sh"
cd "$ROOT/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
