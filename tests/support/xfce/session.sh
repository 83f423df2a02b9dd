#!/bin/sh -e
# Runs "$@" on a 1280x800 Xvfb display with openbox and xfce4-panel (its systray plugin is a
# real StatusNotifier host, at the top right) on a private session bus. Logs go to $OUT, emptied
# first (default: $TARNWICK_TEST_ROOT/$TARNWICK_SESSION_NAME). Exits 77 without xfce4-panel.
command -v xfce4-panel > /dev/null || { echo "xfce4-panel is not installed"; exit 77; }
here=$(cd "$(dirname "$0")" && pwd)
OUT=${OUT:-${TARNWICK_TEST_ROOT:-${TMPDIR:-/tmp}}/${TARNWICK_SESSION_NAME:-xfce-session}}
rm -rf "$OUT"
# Without its settings the panel asks in a dialog what layout to use.
mkdir -p "$OUT/home/.config/xfce4/xfconf/xfce-perchannel-xml" "$OUT/runtime"
chmod 700 "$OUT/runtime"
cp "$here/xfce4-panel.xml" "$OUT/home/.config/xfce4/xfconf/xfce-perchannel-xml/"
exec 5> "$OUT/display"
# -noreset: see run-with-xvfb; a client that comes and goes must not reset the server under the
# next one.
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp -noreset > "$OUT/xvfb.log" 2>&1 & xvfb=$!
trap 'kill $xvfb' EXIT
for i in $(seq 100); do [ -s "$OUT/display" ] && break; sleep 0.1; done
export HOME="$OUT/home" XDG_RUNTIME_DIR="$OUT/runtime" XDG_SESSION_TYPE=x11 \
       DISPLAY=":$(cat "$OUT/display")" QT_QPA_PLATFORM=xcb OUT
unset WAYLAND_DISPLAY
dbus-run-session -- sh -ec '
  dbus-update-activation-environment --all
  openbox > "$OUT/openbox.log" 2>&1 & openbox=$!
  xfce4-panel > "$OUT/xfce4-panel.log" 2>&1 & panel=$!
  trap "kill $panel $openbox" EXIT
  for i in $(seq 150); do
    gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
      -m org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher | grep -q true && break
    sleep 0.1
  done
  "$@"' xfce-session "$@"
