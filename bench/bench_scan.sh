#!/usr/bin/env bash
# Content queries of the embedded scanner against ripgrep on the same tree, page cache warm:
# the first query of a fresh process (it walks the tree) must take at most 1.5x `rg -j1`, the
# following ones (walk and small files' text kept) less than `rg -j1`. Also how long a running
# scan takes to stop.
#
#   bench/bench_scan.sh BUILD_DIR ROOT [QUERY] [RUNS]
#   e.g. bench/bench_scan.sh build /var/tmp/tw-trees/t100000 lighthouse 5
set -euo pipefail
build=${1:?build directory}
root=${2:?tree made by make_tree.py}
query=${3:-lighthouse}
runs=${4:-5}
scan="$build/bench_scan_query"

now() { date +%s.%N; }
minus() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", a - b}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

rg -j1 -l -i -F "$query" "$root" > /dev/null || true  # warm the page cache
"$scan" "$root" "$query" 1 > /dev/null

rg_times=() first_times=() next_times=()
for ((i = 0; i < runs; i++)); do
  start=$(now)
  hits_rg=$(rg -j1 -l -i -F "$query" "$root" | wc -l)
  rg_times+=("$(minus "$(now)" "$start")")
  out=$("$scan" "$root" "$query" 4)
  first_times+=("$(echo "$out" | awk '/^query 1:/ {print $3}')")
  next_times+=($(echo "$out" | awk '/^query [2-9]:/ {print $3}'))
  hits_scan=$(echo "$out" | awk '/^query 1:/ {print $5}')
done

rg_median=$(printf '%s\n' "${rg_times[@]}" | median)
first_median=$(printf '%s\n' "${first_times[@]}" | median)
next_median=$(printf '%s\n' "${next_times[@]}" | median)
echo "tree: $root, query: $query, $runs runs, load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "rg -j1:          ${rg_median} s  ($hits_rg files)"
echo "first query:     ${first_median} s  ($hits_scan files)  = $(ratio "$first_median" "$rg_median")x rg (goal <= 1.5x)"
echo "following query: ${next_median} s  = $(ratio "$next_median" "$rg_median")x rg (goal < 1x)"
"$scan" --cancel "$root" "$query"
