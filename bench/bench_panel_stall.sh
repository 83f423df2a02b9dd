#!/usr/bin/env bash
# Measures the panel's main-thread stalls and list memory on a large folder under a private
# Xvfb with a window manager.
#   bench/bench_panel_stall.sh BUILD_DIR [FOLDER] [QUERY] [SMALLER_FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: bench_panel_stall.sh BUILD_DIR [FOLDER] [QUERY]}
folder=${2:-/var/tmp/tw-trees/t100000}
query=${3:-report}
exe=$(find "$build" -name bench_panel_stall -type f -perm -u+x | head -n1)
[ -n "$exe" ] || { echo "bench_panel_stall not built in $build" >&2; exit 1; }
run="$here/../tests/support/gui/run-with-xvfb --wm"
echo "== $folder"
$run "$exe" "$folder" --query "$query"
$run "$exe" "$folder" --session-only
# The same on a tenth of the rows: what the panel adds per row is the difference of differences.
small=${4:-/var/tmp/tw-trees/t10000}
if [ -d "$small" ]; then
  echo "== $small"
  $run "$exe" "$small" --query "$query" | grep -E "^shown"
  $run "$exe" "$small" --session-only
fi
