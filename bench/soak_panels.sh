#!/usr/bin/env bash
# A thousand panels in one tray application on a large folder, under a private Xvfb with a window
# manager: what it keeps (memory, file descriptors, threads) and whether it falls quiet.
#   bench/soak_panels.sh BUILD_DIR [FOLDER] [PANELS]
# FOLDER: a 100k-entry tree, e.g. made by make_tree.py FOLDER 100000 (outside /tmp).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: soak_panels.sh BUILD_DIR [FOLDER] [PANELS]}
folder=${2:-/var/tmp/soak-100k}
panels=${3:-1000}
exe=$(find "$build" -name tarnwick -type f -perm -u+x | head -n1)
[ -n "$exe" ] || { echo "tarnwick not built in $build" >&2; exit 1; }
exec "$here/../tests/support/gui/run-with-xvfb" --wm \
  python3 "$here/soak_panels.py" "$exe" "$folder" --panels "$panels" "${@:4}"
