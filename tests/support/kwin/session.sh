#!/bin/sh -e
# Runs "$@" in a headless KWin Wayland session: kwin_wayland --virtual (one 1280x800 output,
# XWayland) on a private session bus, with QT_QPA_PLATFORM=wayland for the clients. Portals,
# kglobalaccel and Nautilus start on demand through the bus. Logs and screenshots go to $OUT,
# emptied first (default: $TARNWICK_TEST_ROOT/$TARNWICK_SESSION_NAME). Exits 77 without KWin.
command -v kwin_wayland > /dev/null || { echo "kwin_wayland is not installed"; exit 77; }
OUT=${OUT:-${TARNWICK_TEST_ROOT:-${TMPDIR:-/tmp}}/${TARNWICK_SESSION_NAME:-kwin-session}}
# The document portal of a run just ended may still hold its FUSE mount in the old runtime.
umount -l "$OUT/runtime/doc" 2>/dev/null || fusermount3 -uz "$OUT/runtime/doc" 2>/dev/null || true
rm -rf "$OUT"
mkdir -p "$OUT/home" "$OUT/runtime" "$OUT/bin" && chmod 700 "$OUT/runtime"
# The installed binary carries a file capability (cap_sys_resource) that containers refuse
# (exec fails with EPERM); a copy has none.
cp /usr/bin/kwin_wayland "$OUT/bin/kwin_wayland"
# HOME and XDG_RUNTIME_DIR are set before the bus starts: bus-activated services inherit its
# environment, not ours.
export HOME="$OUT/home" XDG_RUNTIME_DIR="$OUT/runtime" XDG_SESSION_TYPE=wayland \
       XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5 \
       WAYLAND_DISPLAY=wayland-tarnwick OUT
# KWin 6 on Qt 6.8 without Plasma's own Qt theme plug-in (plasma-integration) crashes while it
# starts, in Qt's stand-in KDE theme: Qt's plain theme for it (KWin 5 starts either way).
exec dbus-run-session -- sh -ec '
  KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 QT_QPA_PLATFORMTHEME=generic "$OUT/bin/kwin_wayland" \
    --virtual --width 1280 --height 800 --socket "$WAYLAND_DISPLAY" --xwayland \
    > "$OUT/kwin.log" 2>&1 & kwin=$!
  trap "kill $kwin" EXIT
  until gdbus call --session -d org.kde.KWin -o /KWin -m org.freedesktop.DBus.Peer.Ping \
      > /dev/null 2>&1; do sleep 0.1; done
  export QT_QPA_PLATFORM=wayland   # the KDE portal is a Qt 5 program: qtwayland5 serves it
  dbus-update-activation-environment --all
  "$@"' kwin-session "$@"
