#!/usr/bin/env bash
# Tracker backend against ripgrep on the same corpus: builds a ~20,000-entry tree outside /tmp
# (the miner skips $TMPDIR), lets a private miner index it, times the backend's queries, then
# `rg -l -i -F` for the same word.
#
#   bench/bench_tracker.sh [BUILD_DIR] [QUERY]
#   CORPUS=/var/tmp/... to use another tree.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/bench}
query=${2:-note}
corpus=${CORPUS:-/var/tmp/tarnwick-bench/tracker-20k}
program=${BENCH_TRACKER:-$build/bench/bench_tracker}

if [ ! -d "$corpus" ]; then
  mkdir -p "$(dirname "$corpus")"
  python3 "$here/../../shared/bench-data/make_tree.py" "$corpus" 20000 --seed 1 \
    --text-fraction 0.1 | tail -4
fi
corpus=$(realpath "$corpus")

echo "== Tracker backend ($("$program" --help >/dev/null 2>&1 || true; dpkg-query -W -f='${Version}' tracker-miner-fs 2>/dev/null))"
"$program" --corpus="$corpus" --query="$query" --benchmark_counters_tabular=true

echo "== rg -l -i -F $query"
echo "files: $(rg -l -i -F "$query" "$corpus" | wc -l)"
hyperfine --warmup 2 --runs 10 --style basic "rg -l -i -F '$query' '$corpus'" 2>&1 |
  grep -E 'Time|Range'
