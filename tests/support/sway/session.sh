#!/bin/sh -e
# Runs "$@" in a headless sway session (wlroots, one 1280x800 output, every window floating, so
# sway centres each new one at its first size) on a private session bus, with
# QT_QPA_PLATFORM=wayland for the clients. Logs go to $OUT, emptied first (default:
# $TARNWICK_TEST_ROOT/$TARNWICK_SESSION_NAME). Exits 77 without sway.
command -v sway > /dev/null || { echo "sway is not installed"; exit 77; }
OUT=${OUT:-${TARNWICK_TEST_ROOT:-${TMPDIR:-/tmp}}/${TARNWICK_SESSION_NAME:-sway-session}}
rm -rf "$OUT"
mkdir -p "$OUT/home"
# sway refuses to run as root: it runs as nobody, in a runtime folder of its own outside $OUT
# (whose parents nobody may not enter); clients connect as root all the same.
runtime=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-sway.XXXXXX")
if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$runtime"
  as_sway="setpriv --reuid=nobody --regid=nogroup --clear-groups"
fi
printf 'output HEADLESS-1 resolution 1280x800\nfor_window [app_id=".*"] floating enable\nxwayland disable\n' \
  > "$OUT/sway.config"
chmod 644 "$OUT/sway.config" && cp "$OUT/sway.config" "$runtime/config"
$as_sway env -i PATH=/usr/bin:/bin HOME="$runtime" XDG_RUNTIME_DIR="$runtime" \
  WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  sway -c "$runtime/config" > "$OUT/sway.log" 2>&1 & sway=$!
# A portal started in the session may have mounted its document store in the runtime folder:
# unmounted first, and nothing of the clean-up may change the test's own exit status.
trap 'kill $sway 2>/dev/null || true; umount -l "$runtime/doc" 2>/dev/null || true; rm -rf "$runtime" 2>/dev/null || true' EXIT
for i in $(seq 100); do [ -S "$runtime/wayland-1" ] && break; sleep 0.1; done
export HOME="$OUT/home" XDG_RUNTIME_DIR="$runtime" XDG_SESSION_TYPE=wayland \
       WAYLAND_DISPLAY=wayland-1 QT_QPA_PLATFORM=wayland OUT
SWAYSOCK=$(ls "$runtime"/sway-ipc.*.sock) && export SWAYSOCK
dbus-run-session -- "$@"
