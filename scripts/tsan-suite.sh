#!/usr/bin/env bash
# The whole test suite, windows included, under ThreadSanitizer, in build-tsan.
# Too slow for CI, which checks only the engine's threaded runs this way
# (scripts/extra-checks.sh). Reports and their suppressions: tests/tsan.supp.
#   TSAN_TIMEOUT   per-test timeout in seconds (default 900)
set -euo pipefail

top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc 2>/dev/null || echo 2)"
build="$top/build-tsan"

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTWINLY_SANITIZE=thread \
  -DTWINLY_ENGINE_ONLY=OFF -DTWINLY_WERROR=ON -DTWINLY_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout "${TSAN_TIMEOUT:-900}"
