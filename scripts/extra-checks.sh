#!/usr/bin/env bash
# Checks run after the test suite (scripts/setup.sh test): the parallel build
# and find runs under ThreadSanitizer, then every fuzz target for a short,
# bounded time over its seed corpus, two at a time. Any crash, leak, race,
# sanitizer report or failed check fails the run; a fuzz input that caused it
# is kept in build-fuzz/findings/<target>/.
#   FUZZ_SECONDS   seconds per target (default 30)
set -euo pipefail

top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc 2>/dev/null || echo 2)"
seconds="${FUZZ_SECONDS:-30}"
build="$top/build-fuzz"

# The engine's threaded code only: the whole suite under the thread checker
# would not fit the time the checks have.
tsan="$top/build-tsan-ci"
cmake -S "$top" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTWINLY_SANITIZE=thread \
  -DTWINLY_ENGINE_ONLY=ON -DTWINLY_WERROR=ON -DTWINLY_BUILD_BENCH=OFF >/dev/null
cmake --build "$tsan" -j "$jobs" --target imagedata_test finder_test
ctest --test-dir "$tsan" --output-on-failure -j "$jobs" --timeout 600 \
  -R '^(BuildRun|FindRun|FindRunDifferential|CompareDifferential)\.'

CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTWINLY_FUZZ=ON -DTWINLY_ENGINE_ONLY=ON -DTWINLY_WERROR=ON -DTWINLY_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target fuzzers

# Every target has a seed folder of its name.
targets=()
for d in "$top"/tests/fuzz/corpus/*/; do
  targets+=("$(basename "$d")")
done

run_one() {  # target
  local t="$1" work="$build/findings/$1"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/tmp"
  # The seeds are read, never written: new inputs go to the scratch corpus.
  if TMPDIR="$work/tmp" QT_QPA_PLATFORM=offscreen \
     ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
     LSAN_OPTIONS="suppressions=$top/tests/lsan.supp:print_suppressions=0" \
     UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
     "$build/tests/fuzz/$t" -max_total_time="$seconds" -rss_limit_mb=2560 -timeout=25 \
       -artifact_prefix="$work/" -print_final_stats=1 \
       "$work/corpus" "$top/tests/fuzz/corpus/$t" >"$work/log" 2>&1; then
    echo "fuzz $t: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$work/log" | grep -o '[0-9]*$') runs, no findings"
  else
    echo "fuzz $t: FAILED (see $work/log)"
    tail -n 40 "$work/log"
    return 1
  fi
}

failed=0
pids=()
for t in "${targets[@]}"; do
  run_one "$t" &
  pids+=("$!")
  if [ "${#pids[@]}" -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do
  wait "$p" || failed=1
done
exit "$failed"
