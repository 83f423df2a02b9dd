#!/usr/bin/env bash
# `tarnwick --print` against the command-line tools people reach for, side by side in one run
# (runs interleaved, page cache warm), medians of RUNS, peak memory from /usr/bin/time:
#   - the name-sorted listing of a large tree against `fdfind -HI --no-ignore . ROOT`
#     (goals: at most 1.0x its time, at most 150 MB);
#   - six queries on /usr against `fdfind ... | fzf --filter Q` (goal: at most 0.6x each);
#   - the size order on /usr against `find /usr -printf '%s %T@ %p\n'` (goal: at most 0.8x).
#
#   bench/bench_listing.sh TARNWICK BIG_TREE [USR] [RUNS]
#   e.g. bench/bench_listing.sh build/ci/app/tarnwick /var/tmp/bench-1m /usr 5
# Trees: ../shared/bench-data/make_tree.py /var/tmp/bench-1m 1000000 (outside /tmp). Peers:
# bench/setup-peers.sh.
set -euo pipefail
tarnwick=${1:?tarnwick binary}
big=${2:?large tree made by make_tree.py}
usr=${3:-/usr}
runs=${RUNS:-${4:-5}}
for tool in fdfind fzf find /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "needs $tool: bench/setup-peers.sh" >&2; exit 2; }
done
out=$(mktemp -d /var/tmp/bench-listing.XXXXXX)
trap 'rm -rf "$out"' EXIT

# measure NAME CMD...: one run, appending "seconds kilobytes" to $out/NAME
# The wall time from the shell's microsecond clock: time's own %e counts in hundredths, a
# tenth of a /usr query; both sides pay the same for time's fork and exec.
measure() {
  local name=$1 start end
  shift
  start=$EPOCHREALTIME
  /usr/bin/time -f '%M' -o "$out/one" "$@" >/dev/null 2>&1 || true
  end=$EPOCHREALTIME
  # time writes "Command exited with non-zero status 1" first for a search that found nothing.
  echo "$(awk -v a="${start/,/.}" -v b="${end/,/.}" 'BEGIN { printf "%.4f", b - a }') $(tail -n 1 "$out/one")" \
    >>"$out/$name"
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
column() { awk -v c="$2" '{print $c}' "$out/$1" | median; }
row() {  # goal ours peer limit
  local t1 t2 m1
  t1=$(column "$2" 1) t2=$(column "$3" 1) m1=$(column "$2" 2)
  awk -v g="$1" -v a="$t1" -v b="$t2" -v m="$m1" -v l="$4" 'BEGIN {
    r = a / b; printf "| %-44s | %7.3f s | %7.3f s | %5.2fx | %s | %4.0f MB |\n", g, a, b, r,
      (r <= l ? "met" : "NOT met"), m / 1024 }'
}

q() { printf "'%s'" "${1//\'/\'\\\'\'}"; }
queries=(r rep report lghthsjrnl.t "report final" zqxjv)
# Warm the page cache and the stat cache of both trees.
fdfind -HI --no-ignore . "$big" "$usr" >/dev/null
find "$usr" -printf '%s %T@ %p\n' >/dev/null
for ((i = 0; i < runs; i++)); do
  measure big_ours "$tarnwick" --print --index none "$big"
  measure big_fd fdfind -HI --no-ignore . "$big"
  measure size_ours "$tarnwick" --print --index none --sort size "$usr"
  measure size_find find "$usr" -printf '%s %T@ %p\n'
  for k in "${!queries[@]}"; do
    measure "q${k}_ours" "$tarnwick" --print --index none "$usr" "${queries[$k]}"
    measure "q${k}_peer" bash -c "fdfind -HI --no-ignore . $usr | fzf --filter $(q "${queries[$k]}")"
  done
done

echo "$(nproc) cores, load before: $(cut -d' ' -f1-3 /proc/loadavg), $runs runs each, medians"
echo "| goal                                         |    ours   |    peer   | ratio | goal? | our peak |"
echo "|---|---|---|---|---|---|"
row "--print --index none $(basename "$big") vs fdfind (<= 1.0x)" big_ours big_fd 1.0
echo "  peak memory: ours $(($(column big_ours 2) / 1024)) MB (goal <= 150 MB), fdfind $(($(column big_fd 2) / 1024)) MB"
row "--sort size $usr vs find -printf (<= 0.8x)" size_ours size_find 0.8
for k in "${!queries[@]}"; do
  row "$usr '${queries[$k]}' vs fdfind | fzf (<= 0.6x)" "q${k}_ours" "q${k}_peer" 0.6
done
