#!/usr/bin/env bash
# Peak memory of a snippet from a 1 GB text file (made under /var/tmp when absent).
#   bench/bench_snippet.sh BUILD_DIR [FILE]
set -euo pipefail
build=${1:?build directory}
shift
"$build/bench_snippet_memory" "$@"
