#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite: once in the
# normal build and once with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"

export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

# The test build needs no debug information, and compiling without it takes
# a third less time; the instrumented build below keeps line tables. The
# benchmarks are built and run by bench/run.
"$root/scripts/build.sh" -DQUILLON_WERROR=ON -DQUILLON_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

if [ "${QUILLON_SKIP_SANITIZE:-0}" != "1" ]; then
  QUILLON_BUILD_DIR="$root/build-sanitize" "$root/scripts/build.sh" \
    -DQUILLON_SANITIZE=ON -DQUILLON_BUILD_BENCH=OFF -DQUILLON_BUILD_GUI=OFF -DQUILLON_WERROR=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -DNDEBUG"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
    ctest --test-dir "$root/build-sanitize" --output-on-failure -j "$jobs"
fi
