#!/usr/bin/env bash
# Builds the fuzzing harnesses (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) into ./build-fuzz and runs each, one after the
# other, for SECONDS seconds (default 60) from its seed corpus in
# tests/fuzz/corpus/<name>. Inputs found along the way are kept in
# build-fuzz/corpus/<name>; a crash is saved in build-fuzz/findings/<name>/
# and makes the script fail. Usage: scripts/fuzz.sh [SECONDS] [NAME...]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build-fuzz"
SECS="${1:-60}"
shift || true
JOBS="${JOBS:-$(nproc 2>/dev/null || echo 2)}"

# The rest of the core, and the base library below it, are linked plain from
# the normal build (./build), built here first when needed;
# CORVANE_FUZZ_CORE_LIB names another core library (CORVANE_FUZZ_BASE_LIB its
# base library, by default the libcorvane_base.a beside it).
CORE_LIB="${CORVANE_FUZZ_CORE_LIB:-}"
BASE_LIB="${CORVANE_FUZZ_BASE_LIB:-}"
if [ -z "$CORE_LIB" ]; then
  bash "$ROOT/scripts/build.sh" --target corvane_base corvane_core
  CORE_LIB="$ROOT/build/src/libcorvane_core.a"
fi
[ -n "$BASE_LIB" ] || BASE_LIB="$(dirname "$CORE_LIB")/libcorvane_base.a"

# -O1 with line tables: quick to build, fast enough to run, readable stacks.
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DCORVANE_FUZZ=ON -DCORVANE_TESTS=OFF -DCORVANE_WERROR=OFF -DCORVANE_FUZZ_CORE_LIB="$CORE_LIB" \
  -DCORVANE_FUZZ_BASE_LIB="$BASE_LIB" >/dev/null
cmake --build "$BUILD" -j"$JOBS" --target fuzzers

# Sound Paradox tables are made by the program itself.
"$BUILD/tests/fuzz/fuzz-paradox-seeds" "$BUILD/seeds/paradox"

if [ $# -gt 0 ]; then
  NAMES=("$@")
else
  NAMES=()
  for h in "$BUILD"/tests/fuzz/fuzz_*; do
    [ -f "$h" ] && [ -x "$h" ] || continue
    NAMES+=("$(basename "$h" | sed 's/^fuzz_//')")
  done
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen
failed=0
summary=()
for name in "${NAMES[@]}"; do
  corpus="$BUILD/corpus/$name"
  findings="$BUILD/findings/$name"
  mkdir -p "$corpus" "$findings"
  seeds=("$ROOT/tests/fuzz/corpus/$name")
  [ -d "$BUILD/seeds/$name" ] && seeds+=("$BUILD/seeds/$name")
  log="$BUILD/findings/$name.log"
  # Inputs that once crashed a harness (tests/fuzz/regressions/<name>-*) run first.
  shopt -s nullglob
  old=("$ROOT/tests/fuzz/regressions/$name"-*)
  shopt -u nullglob
  if [ ${#old[@]} -gt 0 ] && ! "$BUILD/tests/fuzz/fuzz_$name" "${old[@]}" >"$log" 2>&1; then
    failed=1
    summary+=("$name: FALHA numa entrada de tests/fuzz/regressions (veja $log)")
    echo "${summary[-1]}"
    continue
  fi
  echo "== $name: ${SECS}s"
  set +e
  "$BUILD/tests/fuzz/fuzz_$name" -max_total_time="$SECS" -timeout=20 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "${seeds[@]}" >"$log" 2>&1
  rc=$?
  set -e
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  # A unit slower than 10 s is kept for a look but is no crash: hangs are the
  # -timeout's, and a loaded machine makes slow units of sound inputs.
  crashes=$(find "$findings" -type f ! -name 'slow-unit-*' | wc -l)
  if [ $rc -ne 0 ] || [ "$crashes" -ne 0 ]; then
    failed=1
    summary+=("$name: $runs execuções, FALHA (código $rc, $crashes entradas em $findings; veja $log)")
  else
    summary+=("$name: $runs execuções, nenhuma falha")
  fi
  echo "${summary[-1]}"
done
echo "== resumo"
printf '%s\n' "${summary[@]}"
exit $failed
