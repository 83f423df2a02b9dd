#!/usr/bin/env bash
# The tools bench/bench_listing.sh and bench/compare measure against, from Debian.
set -euo pipefail
missing=()
for pair in fdfind:fd-find fzf:fzf hyperfine:hyperfine /usr/bin/time:time; do
  command -v "${pair%%:*}" >/dev/null || missing+=("${pair#*:}")
done
[ ${#missing[@]} -eq 0 ] && exit 0
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
