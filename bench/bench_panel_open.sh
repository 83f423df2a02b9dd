#!/usr/bin/env bash
# Key press to mapped panel and to its first rows, with the real Nautilus in front showing a
# large folder, under a private Xvfb with openbox and a private session bus (no service can be
# started on it, so no Tracker: the folder is listed on disk). Prints one line per press and
# the medians.
#   bench/bench_panel_open.sh BUILD_DIR [FOLDER] [PRESSES]
# FOLDER: a 100k-entry tree, e.g. made by make_tree.py FOLDER 100000 (outside /tmp).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ "${1:-}" != --inside ]; then
  build=${1:?usage: bench_panel_open.sh BUILD_DIR [FOLDER] [PRESSES]}
  build=$(cd "$build" && pwd)
  exec "$here/../tests/support/gui/run-with-xvfb" --wm "$0" --inside "$build" "${@:2}"
fi
build=$2
folder=$(realpath "${3:-/var/tmp/soak-100k}")
presses=${4:-20}
exe=$build/app/tarnwick
probe=$build/bench/bench_panel_open
[ -x "$exe" ] && [ -x "$probe" ] || { echo "build tarnwick and bench_panel_open first" >&2; exit 1; }

root=$(mktemp -d "${TMPDIR:-/var/tmp}/bench-panel-open.XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT
mkdir -p "$root"/{home,config,data,cache,run,services}
chmod 700 "$root/run"
cat >"$root/bus.conf" <<EOF
<busconfig><type>session</type><listen>unix:path=$root/run/bus</listen><auth>EXTERNAL</auth>
<servicedir>$root/services</servicedir>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy></busconfig>
EOF
dbus-daemon --config-file="$root/bus.conf" --nofork --print-address=1 >"$root/bus.address" &
pids+=($!)
for _ in $(seq 100); do [ -s "$root/bus.address" ] && break; sleep 0.05; done
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$root/bus.address")
export HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data \
  XDG_CACHE_HOME=$root/cache XDG_RUNTIME_DIR=$root/run GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1

owned() {
  gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true
}
GDK_BACKEND=x11 nautilus --new-window "$folder" >"$root/nautilus.log" 2>&1 &
pids+=($!)
for _ in $(seq 400); do owned org.freedesktop.FileManager1 && break; sleep 0.05; done
owned org.freedesktop.FileManager1 || { echo "Nautilus did not start" >&2; cat "$root/nautilus.log" >&2; exit 1; }
# Nautilus in front, done loading its 100k-entry view.
for _ in $(seq 400); do xdotool search --onlyvisible --class nautilus >/dev/null 2>&1 && break; sleep 0.05; done
sleep 3

"$exe" >"$root/tarnwick.log" 2>&1 &
app=$!
pids+=($app)
for _ in $(seq 400); do owned org.tarnwick.Tarnwick && break; sleep 0.05; done
sleep 1
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
"$probe" "$app" ctrl+shift+space "$presses" | tee "$root/presses.txt" || true
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$root/presses.txt" <<'EOF'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
maps = [float(r[3]) for r in rows if float(r[3]) >= 0]
firsts = [float(r[5]) for r in rows if float(r[5]) >= 0]
def show(name, values):
    if values:
        print("%s: median %.1f ms, min %.1f, max %.1f (%d of %d presses)" % (
            name, statistics.median(values), min(values), max(values), len(values), len(rows)))
    else:
        print("%s: none of %d presses" % (name, len(rows)))
show("key to mapped panel", maps)
show("key to first rows", firsts)
EOF
# SCREENSHOT=FILE: one more press, and the screen SCREENSHOT_AFTER seconds later.
if [ -n "${SCREENSHOT:-}" ]; then
  xdotool key ctrl+shift+space
  sleep "${SCREENSHOT_AFTER:-0.05}"
  import -window root "$SCREENSHOT"
  cat "$root/tarnwick.log"; tail -5 "$root/nautilus.log"
fi
