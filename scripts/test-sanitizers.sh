#!/usr/bin/env bash
# Builds the suite with AddressSanitizer and UndefinedBehaviorSanitizer into
# ./build-asan and runs it. Optimised lightly (-O1), without debug information
# (reports name functions, not lines; rebuild with -g1 to see lines) and
# compiled in batches to keep the build and the run short (the normal build is
# the one without batches), with the libraries shared so that the test
# programs link quickly; the test programs' own sources are not instrumented,
# the program is. Any report of either sanitizer fails the test it happens in.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build-asan"
JOBS="$(nproc 2>/dev/null || echo 2)"

cmake -S "$ROOT" -B "$BUILD" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g0" \
  -DCORVANE_SANITIZE=address,undefined -DCORVANE_UNITY=ON -DCORVANE_PCH=ON -DCORVANE_SHARED=ON
# The benchmarks are not part of the suite.
cmake --build "$BUILD" -j"$JOBS" --target corvane corvane-cli
cmake --build "$BUILD/tests" -j"$JOBS"
cd "$BUILD"
# Qt keeps some allocations to the end on purpose: leaks are not reported.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:detect_stack_use_after_return=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The crash test kills processes on a clock; the normal build runs it.
# On the server, this pass runs the tests of the code that has a path of its
# own there (the engines, the import, the register's numbering, the
# remittance's steps, the reference update, the shell's copies and repair).
# The main window, the maintenance services and the reports run the same
# code on either engine: the normal build runs them on both.
# This pass runs in a zone whose midnights are sometimes skipped, so a date
# that goes through local time anywhere shows up here.
TZ="${CORVANE_TEST_TZ:-America/Sao_Paulo}" QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$JOBS" -LE crash \
  -E "^(app|maintenance|reports)_test_.*_pg$" "$@"
