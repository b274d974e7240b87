#!/usr/bin/env bash
# quorvex -c --audit side by side with hashdeep's audit (-a -k) in one run, on a tree of 20,000
# files of mixed sizes (1 GB in all, in 400 folders) of which, after both manifests were written,
# 100 were changed, 100 removed, 100 added and 100 renamed into another folder. Both run ROUNDS
# times in turns with the tree in the page cache; the best wall time of each counts. Then the
# counts of both: hashdeep knows no changed file (to it a changed file is new and its listing not
# found), so its "new" is our new plus changed and its "not found" our missing plus changed.
#
#   bench/audit_speed.sh [QUORVEX] [FOLDER] [ROUNDS]
#
# QUORVEX defaults to build/cli/quorvex, FOLDER to /tmp/quorvex-audit-bench (about 1 GB is
# written there once and kept), ROUNDS to 3.
set -euo pipefail
cd "$(dirname "$0")/.."
quorvex=$(realpath "${1:-build/cli/quorvex}")
folder=${2:-/tmp/quorvex-audit-bench}
rounds=${3:-3}

work=$folder/audit
if [ ! -f "$folder/ready" ]; then
  echo "writing 20,000 files (1 GB) in $work/tree" >&2
  rm -rf "$folder"
  mkdir -p "$work"
  # Sizes from 1 KiB to 1.8 MiB, most of them small: every 50th file is large. Every file's
  # content is its own, so a digest names one file.
  python3 - "$work/tree" <<'PY'
import os, random, sys
top = sys.argv[1]
rng = random.Random(20000)
for i in range(20000):
    d = os.path.join(top, "d%03d" % (i // 500), "e%02d" % (i // 50 % 10))
    os.makedirs(d, exist_ok=True)
    size = rng.randint(1000 * 1024, 1800 * 1024) if i % 50 == 0 else rng.randint(1024, 44 * 1024)
    with open(os.path.join(d, "f%05d.bin" % i), "wb") as f:
        f.write(os.urandom(size))
PY
  (cd "$work" && "$quorvex" -r -a sha256 tree > tree.sha256)
  (cd "$work" && hashdeep -c sha256 -r -l tree > "$folder/hashdeep.txt")
  # The changes: 100 of each, spread over the tree.
  python3 - "$work/tree" <<'PY'
import os, sys
top = sys.argv[1]
def path(i):
    return os.path.join(top, "d%03d" % (i // 500), "e%02d" % (i // 50 % 10), "f%05d.bin" % i)
for k in range(100):
    changed, removed, renamed = path(200 * k + 1), path(200 * k + 3), path(200 * k + 5)
    size = os.path.getsize(changed)
    with open(changed, "wb") as f:
        f.write(os.urandom(size))
    os.remove(removed)
    os.rename(renamed, path(200 * k + 105).replace(".bin", "-renamed.bin"))
    with open(path(200 * k + 7).replace(".bin", "-added.bin"), "wb") as f:
        f.write(os.urandom(4096 + k))
PY
  touch "$folder/ready"
fi
cd "$work"
# Into the page cache, so that the disk does not decide.
find tree -type f -exec cat {} + > /dev/null

ours=("$quorvex" -c --audit tree.sha256)
theirs=(hashdeep -c sha256 -r -l -a -v -k "$folder/hashdeep.txt" tree)
best_ours= best_theirs=
for ((i = 0; i < rounds; i++)); do
  start=$(date +%s%N); "${ours[@]}" > /dev/null 2>&1 || true; end=$(date +%s%N); t=$((end - start))
  if [ -z "$best_ours" ] || [ "$t" -lt "$best_ours" ]; then best_ours=$t; fi
  start=$(date +%s%N); "${theirs[@]}" > /dev/null 2>&1 || true; end=$(date +%s%N); t=$((end - start))
  if [ -z "$best_theirs" ] || [ "$t" -lt "$best_theirs" ]; then best_theirs=$t; fi
done

out=$("${ours[@]}" 2> /dev/null || true)
report=$("${theirs[@]}" 2> /dev/null || true)
count() { printf '%s\n' "$out" | grep -c -e "$1" || true; }
matched=$(count ': OK$')
changed=$(count ': FAILED$')
missing=$(count ': FAILED open or read$')
new=$(count ': NEW$')
moved=$(count ': MOVED to ')
theirs_count() { printf '%s\n' "$report" | sed -n "s/^ *$1: *//p"; }
h_matched=$(theirs_count 'Files matched')
h_moved=$(theirs_count 'Files moved')
h_new=$(theirs_count 'New files found')
h_missing=$(theirs_count 'Known files not found')

echo "machine: $(nproc) threads, $(lscpu | sed -n 's/^Model name: *//p'), $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "tree: $(find tree -type f | wc -l) files, $(find tree -type f -printf '%s\n' |
     awk '{ s += $1 } END { printf "%.2f GB", s / 1e9 }'); quorvex: $quorvex;" \
     "$(hashdeep -V 2>&1 | head -1 | sed 's/^/hashdeep /'); best of $rounds"
echo
printf '| %-54s | %10s | %10s | %6s | %-7s |\n' "comparison" "quorvex" "hashdeep" "ratio" "goal"
printf '|%s|%s|%s|%s|%s|\n' "--------------------------------------------------------" "------------" "------------" "--------" "---------"
awk -v a="$best_ours" -v b="$best_theirs" 'BEGIN {
  printf "| %-54s | %8.3f s | %8.3f s | %6.2f | %-7s |\n",
         "-c --audit tree.sha256 vs hashdeep -c sha256 -r -a -k", a / 1e9, b / 1e9, a / b, "<= 0.50" }'
echo
printf '| %-36s | %10s | %8s | %-5s |\n' "count" "quorvex" "hashdeep" "same"
printf '|%s|%s|%s|%s|\n' "--------------------------------------" "------------" "----------" "-------"
same() { if [ "$1" = "$2" ]; then echo yes; else echo NO; fi; }
printf '| %-36s | %10s | %8s | %-5s |\n' "matched" "$matched" "$h_matched" "$(same "$matched" "$h_matched")"
printf '| %-36s | %10s | %8s | %-5s |\n' "moved" "$moved" "$h_moved" "$(same "$moved" "$h_moved")"
printf '| %-36s | %10s | %8s | %-5s |\n' "changed (hashdeep counts none)" "$changed" "-" "-"
printf '| %-36s | %10s | %8s | %-5s |\n' "new (hashdeep: new + changed)" "$new + $changed" "$h_new" \
  "$(same $((new + changed)) "$h_new")"
printf '| %-36s | %10s | %8s | %-5s |\n' "missing (hashdeep: not found + chg)" "$missing + $changed" "$h_missing" \
  "$(same $((missing + changed)) "$h_missing")"
