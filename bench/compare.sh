#!/usr/bin/env bash
# Side-by-side measurements of card file loading and saving against the
# system tools that do the nearest job, in one run on this machine:
#   load + sort  vs  LC_ALL=C sort -f -s of just the index texts
#   save         vs  dd bs=1M conv=fsync copying the same file
#   peak memory of a load  vs  the file's size
#   tessel-cli info as a whole process (start, load, sort, exit)  vs  the sort,
#   with the page faults and system time of both
# Usage: bench/compare.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
io=$build/bench/bench_io
[[ -x $io ]] || { echo "build first: scripts/build.sh $build" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
runs=5

best() {  # best wall time in ms of a command, over $runs runs
  local best=""
  for _ in $(seq $runs); do
    local start end ms
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    ms=$(( (end - start) / 1000000 ))
    if [[ -z $best || $ms -lt $best ]]; then best=$ms; fi
  done
  echo "$best"
}

best_of_tool() {  # best of the "N ms" figure a bench_io run prints
  local best=""
  for _ in $(seq $runs); do
    local ms
    ms=$("$@" | sed -E 's/.*: ([0-9]+) ms.*/\1/')
    if [[ -z $best || $ms -lt $best ]]; then best=$ms; fi
  done
  echo "$best"
}

printf '%-10s %-28s %10s %-34s %10s\n' cards measure tessel reference reference
for n in 100000 1000000; do
  file=$work/cards-$n.tsl
  "$io" gen "$n" "$file" "$work/indexes-$n.txt"
  size_mib=$(( $(stat -c %s "$file") / 1048576 ))
  load=$(best_of_tool "$io" load "$file")
  sortref=$(best env LC_ALL=C sort -f -s "$work/indexes-$n.txt")
  save=$(best_of_tool "$io" save "$file" "$work/out-$n.tsl")
  ddref=$(best dd if="$file" of="$work/copy-$n.tsl" bs=1M conv=fsync status=none)
  mem=$("$io" load "$file" | sed -E 's/.*peak memory ([0-9]+) MiB.*/\1/')
  whole=$(best_of_tool "$io" run "$build/tessel-cli" info "$file")
  sortwhole=$(best_of_tool "$io" run env LC_ALL=C sort -f -s "$work/indexes-$n.txt")
  wholemem=$("$io" run "$build/tessel-cli" info "$file" | sed -E 's/.*peak memory ([0-9]+) MiB.*/\1/')
  faults() { "$io" run "$@" | sed -E 's/.*MiB, ([0-9]+) page faults, ([0-9]+) ms.*/\1 \/ \2 ms/'; }
  wholefaults=$(faults "$build/tessel-cli" info "$file")
  sortfaults=$(faults env LC_ALL=C sort -f -s "$work/indexes-$n.txt")
  printf '%-10s %-28s %8s ms %-34s %7s ms\n' "$n" "load + sort" "$load" "sort -f -s (index texts only)" "$sortref"
  printf '%-10s %-28s %8s ms %-34s %7s ms\n' "$n" "save (atomic, fsync)" "$save" "dd bs=1M conv=fsync" "$ddref"
  printf '%-10s %-28s %7s MiB %-34s %6s MiB\n' "$n" "peak memory above baseline" "$mem" "file size" "$size_mib"
  printf '%-10s %-28s %8s ms %-34s %7s ms\n' "$n" "tessel-cli info (process)" "$whole" "sort -f -s (process)" "$sortwhole"
  printf '%-10s %-28s %7s MiB %-34s %6s MiB\n' "$n" "tessel-cli info peak memory" "$wholemem" "file size" "$size_mib"
  printf '%-10s %-28s %11s %-34s %10s\n' "$n" "page faults / system time" "$wholefaults" "sort -f -s (process)" "$sortfaults"
done
