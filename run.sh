#!/usr/bin/env bash
# Builds Quorvex and starts its window.
set -euo pipefail
cd "$(dirname "$0")"
source ./scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target Sumora
exec ./build/ui/Sumora "$@"
