#!/usr/bin/env bash
# quorvex side by side with rhash and sha256sum in one run: a 1 GiB file in the page cache and
# 10,000 files of 4 KiB. Each command runs ROUNDS times; the best wall time counts, and the
# table gives our time as a ratio of theirs (files per second for the small files).
#
#   bench/cli_speed.sh [QUORVEX] [FOLDER] [ROUNDS]
#
# QUORVEX defaults to build/cli/quorvex, FOLDER to /tmp/quorvex-cli-bench (about 1.1 GiB is
# written there once and kept), ROUNDS to 3.
set -euo pipefail
cd "$(dirname "$0")/.."
quorvex=$(realpath "${1:-build/cli/quorvex}")
folder=${2:-/tmp/quorvex-cli-bench}
rounds=${3:-3}

mkdir -p "$folder"
big=$folder/big.bin
small=$folder/small
if [ ! -f "$big" ] || [ "$(stat -c %s "$big")" -ne $((1 << 30)) ]; then
  echo "writing $big" >&2
  head -c $((1 << 30)) /dev/urandom > "$big"
fi
if [ ! -d "$small" ] || [ "$(ls "$small" | wc -l)" -ne 10000 ]; then
  echo "writing 10,000 files of 4 KiB in $small" >&2
  rm -rf "$small"
  mkdir -p "$small"
  head -c $((10000 * 4096)) /dev/urandom | split -a 5 -d -b 4096 - "$small/f"
fi
# Into the page cache, so that the disk does not decide.
cat "$big" "$small"/* > /dev/null

best() {  # best wall time in seconds of a command, output discarded
  local fastest=
  for ((i = 0; i < rounds; i++)); do
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null
    end=$(date +%s%N)
    local t=$(( end - start ))
    if [ -z "$fastest" ] || [ "$t" -lt "$fastest" ]; then fastest=$t; fi
  done
  awk -v ns="$fastest" 'BEGIN { printf "%.3f", ns / 1e9 }'
}

row() {  # name, goal text, our seconds, their seconds, "time" or "rate"
  local ratio
  if [ "$5" = rate ]; then
    ratio=$(awk -v a="$4" -v b="$3" 'BEGIN { printf "%.2f", a / b }')
  else
    ratio=$(awk -v a="$3" -v b="$4" 'BEGIN { printf "%.2f", a / b }')
  fi
  printf '| %-44s | %8s s | %8s s | %6s | %-7s |\n' "$1" "$3" "$4" "$ratio" "$2"
}

nine=(--md5 --crc32 --sha1 --md4 --ripemd160 --sha256 --sha384 --sha512 --tiger)
cd "$small"

echo "machine: $(nproc) threads, $(lscpu | sed -n 's/^Model name: *//p'), $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "quorvex: $quorvex; rhash: $(rhash --version); $(sha256sum --version | head -1); best of $rounds"
echo
printf '| %-44s | %10s | %10s | %6s | %-7s |\n' "comparison" "quorvex" "reference" "ratio" "goal"
printf '|%s|%s|%s|%s|%s|\n' "----------------------------------------------" "------------" "------------" "--------" "---------"
row "-a md5,sha1 1 GiB vs rhash --md5 --sha1" "<= 0.70" \
    "$(best "$quorvex" -a md5,sha1 "$big")" "$(best rhash --md5 --sha1 "$big")" time
row "-a md5,sha1 -j 1 (one thread) vs rhash" "" \
    "$(best "$quorvex" -j 1 -a md5,sha1 "$big")" "$(best rhash --md5 --sha1 "$big")" time
row "--all 1 GiB vs rhash with the nine shared" "<= 0.65" \
    "$(best "$quorvex" --all "$big")" "$(best rhash "${nine[@]}" "$big")" time
row "--all -j 1 (one thread) vs rhash, nine" "" \
    "$(best "$quorvex" -j 1 --all "$big")" "$(best rhash "${nine[@]}" "$big")" time
row "-a sha256 1 GiB vs sha256sum" "<= 1.0" \
    "$(best "$quorvex" -a sha256 "$big")" "$(best sha256sum "$big")" time
row "-a sha256 10,000 x 4 KiB vs sha256sum (rate)" ">= 1.5" \
    "$(best "$quorvex" -a sha256 .)" "$(best sha256sum -- *)" rate
row "-a sha256 -j 1 10,000 x 4 KiB (rate)" "" \
    "$(best "$quorvex" -j 1 -a sha256 .)" "$(best sha256sum -- *)" rate
row "-c SHA256SUMS of 10,000 files vs sha256sum -c" "" \
    "$(sha256sum -- * > ../SHA256SUMS; best "$quorvex" -c ../SHA256SUMS)" "$(best sha256sum -c ../SHA256SUMS)" time
