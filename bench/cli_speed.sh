#!/usr/bin/env bash
# quorvex side by side with rhash and sha256sum in one run: a 1 GiB file in the page cache and
# 10,000 files of 4 KiB. Each pair of commands runs ROUNDS times in turns; the best wall time of
# each counts, and the table gives our time as a ratio of theirs (files per second for the small
# files: their time over ours).
#
#   bench/cli_speed.sh [QUORVEX] [FOLDER] [ROUNDS] [ROWS]
#
# QUORVEX defaults to build/cli/quorvex, FOLDER to /tmp/quorvex-cli-bench (about 1.1 GiB is
# written there once and kept), ROUNDS to 3. ROWS, an extended regular expression, keeps the
# rows whose names it matches: 'blake3|xxh|md5,sha1|--all' gives the further digests' table
# and the slow digests beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
quorvex=$(realpath "${1:-build/cli/quorvex}")
folder=${2:-/tmp/quorvex-cli-bench}
rounds=${3:-3}
rows=${4:-.}
# The BLAKE3 variant the engine runs on this CPU, as the engines' benchmark of the same build
# finds it.
engines_bench=$(dirname "$quorvex")/../bench/engines_bench
variants="unknown (no $engines_bench)"
if [ -x "$engines_bench" ]; then
  variants=$("$engines_bench" --variants)
fi

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

# Best wall times of two commands, taken in turns so that a machine busy with other work slows
# both alike: prints "ours theirs" in seconds. Output is discarded.
pair() {  # our command... -- their command...
  local ours=() theirs=() side=ours
  for arg in "$@"; do
    if [ "$arg" = "--vs" ]; then side=theirs; continue; fi
    if [ $side = ours ]; then ours+=("$arg"); else theirs+=("$arg"); fi
  done
  local bestOurs= bestTheirs=
  for ((i = 0; i < rounds; i++)); do
    local start end t
    start=$(date +%s%N); "${ours[@]}" > /dev/null; end=$(date +%s%N); t=$((end - start))
    if [ -z "$bestOurs" ] || [ "$t" -lt "$bestOurs" ]; then bestOurs=$t; fi
    start=$(date +%s%N); "${theirs[@]}" > /dev/null; end=$(date +%s%N); t=$((end - start))
    if [ -z "$bestTheirs" ] || [ "$t" -lt "$bestTheirs" ]; then bestTheirs=$t; fi
  done
  awk -v a="$bestOurs" -v b="$bestTheirs" 'BEGIN { printf "%.3f %.3f", a / 1e9, b / 1e9 }'
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
echo "$(b3sum --version); $(xxhsum --version 2>&1 | head -1); variants in use: $variants"
echo
printf '| %-44s | %10s | %10s | %6s | %-7s |\n' "comparison" "quorvex" "reference" "ratio" "goal"
printf '|%s|%s|%s|%s|%s|\n' "----------------------------------------------" "------------" "------------" "--------" "---------"
compare() {  # name, goal, "time" or "rate", our command... --vs their command...
  local name=$1 goal=$2 kind=$3
  shift 3
  if ! grep -qE -e "$rows" <<< "$name"; then return; fi
  local times
  times=$(pair "$@")
  row "$name" "$goal" "${times% *}" "${times#* }" "$kind"
}

compare "-a md5,sha1 1 GiB vs rhash --md5 --sha1" "<= 0.70" time \
    "$quorvex" -a md5,sha1 "$big" --vs rhash --md5 --sha1 "$big"
compare "-a md5,sha1 -j 1 (one thread) vs rhash" "" time \
    "$quorvex" -j 1 -a md5,sha1 "$big" --vs rhash --md5 --sha1 "$big"
compare "--all 1 GiB vs rhash with the nine shared" "<= 0.65" time \
    "$quorvex" --all "$big" --vs rhash "${nine[@]}" "$big"
compare "--all -j 1 (one thread) vs rhash, nine" "" time \
    "$quorvex" -j 1 --all "$big" --vs rhash "${nine[@]}" "$big"
compare "-a sha256 1 GiB vs sha256sum" "<= 1.0" time \
    "$quorvex" -a sha256 "$big" --vs sha256sum "$big"
compare "-a sha256 10,000 x 4 KiB vs sha256sum (rate)" ">= 1.5" rate \
    "$quorvex" -a sha256 . --vs sha256sum -- *
compare "-a sha256 -j 1 10,000 x 4 KiB (rate)" "" rate \
    "$quorvex" -j 1 -a sha256 . --vs sha256sum -- *
sha256sum -- * > ../SHA256SUMS
compare "-c SHA256SUMS of 10,000 files vs sha256sum -c" "" time \
    "$quorvex" -c ../SHA256SUMS --vs sha256sum -c ../SHA256SUMS

# The further digests against the tools that publish them.
compare "-a blake3 1 GiB vs b3sum" "<= 0.80" time \
    "$quorvex" -a blake3 "$big" --vs b3sum "$big"
compare "-a blake3 -j 1 vs b3sum --num-threads 1" "<= 1.0" time \
    "$quorvex" -j 1 -a blake3 "$big" --vs b3sum --num-threads 1 "$big"
compare "-a xxh128 1 GiB vs xxhsum -H2" "<= 1.0" time \
    "$quorvex" -a xxh128 "$big" --vs xxhsum -H2 "$big"
compare "-a xxh3 1 GiB vs xxhsum -H3" "<= 1.0" time \
    "$quorvex" -a xxh3 "$big" --vs xxhsum -H3 "$big"
compare "-a xxh64 1 GiB vs xxhsum -H1" "<= 1.0" time \
    "$quorvex" -a xxh64 "$big" --vs xxhsum -H1 "$big"
compare "-a blake2b 1 GiB vs b2sum" "<= 1.0" time \
    "$quorvex" -a blake2b "$big" --vs b2sum "$big"
compare "-a sha3-256 1 GiB vs openssl dgst -sha3-256" "<= 1.05" time \
    "$quorvex" -a sha3-256 "$big" --vs openssl dgst -sha3-256 "$big"
compare "-a sm3 1 GiB vs openssl dgst -sm3" "<= 1.05" time \
    "$quorvex" -a sm3 "$big" --vs openssl dgst -sm3 "$big"
compare "-a sha224 1 GiB vs -a sha256" "<= 1.0" time \
    "$quorvex" -a sha224 "$big" --vs "$quorvex" -a sha256 "$big"
compare "-a sha224 1 GiB vs sha224sum" "" time \
    "$quorvex" -a sha224 "$big" --vs sha224sum "$big"
# Every algorithm at once must keep both cores busy: CPU time over wall time.
every="--every 1 GiB: CPU time over wall time"
if grep -qE -e "$rows" <<< "$every"; then
  start=$(date +%s%N)
  cpu=$( { /usr/bin/time -f '%U %S' "$quorvex" --every "$big" > /dev/null; } 2>&1 | tail -1)
  end=$(date +%s%N)
  awk -v c="$cpu" -v w="$(( end - start ))" -v name="$every" 'BEGIN { split(c, t, " "); wall = w / 1e9;
      printf "| %-44s | %8.3f s | %8.3f s | %6.2f | %-7s |\n", name, wall, t[1] + t[2], (t[1] + t[2]) / wall, ">= 1.8" }'
fi
