#!/bin/sh -e
# Runs "$@" in a headless Weston session (desktop shell, one 1280x800 output; Weston puts each
# new window at a spot of its own choosing that keeps it on screen) on a private session bus,
# with QT_QPA_PLATFORM=wayland for the clients and weston-screenshooter allowed. Logs go to
# $OUT, emptied first (default: $TARNWICK_TEST_ROOT/$TARNWICK_SESSION_NAME). Exits 77 without
# Weston.
command -v weston > /dev/null || { echo "weston is not installed"; exit 77; }
OUT=${OUT:-${TARNWICK_TEST_ROOT:-${TMPDIR:-/tmp}}/${TARNWICK_SESSION_NAME:-weston-session}}
rm -rf "$OUT"
mkdir -p "$OUT/home"
# Weston 10 starts its X11 support at once and crashes when this folder is missing.
mkdir -p /tmp/.X11-unix 2>/dev/null && chmod 1777 /tmp/.X11-unix 2>/dev/null || true
runtime=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-weston.XXXXXX")
chmod 700 "$runtime"
# pixman: the headless default renders nothing, so screenshots never come; --debug offers them.
env XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --use-pixman \
  --width=1280 --height=800 --debug --socket=wayland-1 > "$OUT/weston.log" 2>&1 & weston=$!
# A portal started in the session may have mounted its document store in the runtime folder:
# unmounted first, and nothing of the clean-up may change the test's own exit status.
trap 'kill $weston 2>/dev/null || true; umount -l "$runtime/doc" 2>/dev/null || true; rm -rf "$runtime" 2>/dev/null || true' EXIT
for i in $(seq 100); do [ -S "$runtime/wayland-1" ] && break; sleep 0.1; done
export HOME="$OUT/home" XDG_RUNTIME_DIR="$runtime" XDG_SESSION_TYPE=wayland \
       WAYLAND_DISPLAY=wayland-1 QT_QPA_PLATFORM=wayland OUT
dbus-run-session -- "$@"
