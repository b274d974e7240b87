#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from what clang-format makes of it (.clang-format).
#   scripts/check-format.sh          check every tracked C++ file
#   scripts/check-format.sh FILE...  check these files only
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$#" -eq 0 ]; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.inc')
else
  files=("$@")
fi
clang-format --dry-run --Werror "${files[@]}"
