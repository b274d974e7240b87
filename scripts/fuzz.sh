#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer in build-fuzz/ and fuzzes one of them.
#   scripts/fuzz.sh NAME [SECONDS]   e.g. scripts/fuzz.sh sumfile 600
# New inputs go to build-fuzz/corpus/NAME; copy the few that matter into fuzz/corpus/NAME.
set -euo pipefail
cd "$(dirname "$0")/.."
source ./scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
name=$1
seconds=${2:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_FUZZ=ON \
  -DQUORVEX_BUILD_UI=OFF -DQUORVEX_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${name}_fuzz"
mkdir -p "build-fuzz/corpus/$name"
"build-fuzz/fuzz/${name}_fuzz" -max_total_time="$seconds" -max_len=65536 \
  "build-fuzz/corpus/$name" "fuzz/corpus/$name"
