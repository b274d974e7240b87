#!/usr/bin/env bash
# Builds Quorvex and runs every test: first a normal build, then one with AddressSanitizer and
# UndefinedBehaviorSanitizer built by Clang, then the hashing engine's tests with ThreadSanitizer. Installs what
# is missing from Debian's packages first.
set -euo pipefail
cd "$(dirname "$0")"
source ./scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export QTEST_FUNCTION_TIMEOUT=600000

# No file includes a header of a layer above or beside its own, and the code is formatted.
python3 scripts/check-layers.py
scripts/check-format.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# The sanitizer build is Clang's, so the code is also built by a second compiler; it skips the long
# checks (names starting with Slow), which ran above.
CC=clang CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DQUORVEX_SANITIZE=ON \
  -DQUORVEX_WERROR=ON >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs" -E '\.Slow'

# The hashing engine's threads under ThreadSanitizer: its own test program only, which drives
# every path of the workers (large and small files, stops, stuck reads), so the build stays short.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_TSAN=ON -DQUORVEX_BUILD_UI=OFF \
  -DQUORVEX_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target hashing_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build-tsan/tests/hashing_tests
