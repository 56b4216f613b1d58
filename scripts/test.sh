#!/usr/bin/env bash
# Installs the dependencies, builds and runs the whole test suite.
# Tests run offscreen (no display needed).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

bash "$ROOT/scripts/install-deps.sh"
CORVANE_TEST_BUILD=1 bash "$ROOT/scripts/build.sh"
cd "$ROOT/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
# The crash-consistency summary (label "crash"), when it ran.
grep -h "Consistência após SIGKILL\|mortes (" Testing/Temporary/LastTest.log 2>/dev/null | sed 's/^QINFO *: [^ ]* //' || true
