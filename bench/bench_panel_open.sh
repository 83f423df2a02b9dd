#!/usr/bin/env bash
# Key press to mapped panel and to its first rows, with the real Nautilus in front showing a
# large folder, under a private Xvfb with openbox and a private session bus (no service can be
# started on it, so no Tracker: the folder is listed on disk). Before each tray's first press
# Nautilus and the tray are left until they stay idle. After one tray and press that are not
# counted (Nautilus's own first-time costs), COLD_STARTS tray applications are started one after
# the other; each gets one press (the first press of a freshly started tray: nothing kept, nothing
# warmed by an earlier panel), the last one PRESSES presses. Prints one line per press, then the
# first presses and the later presses (median, min, max).
#   bench/bench_panel_open.sh BUILD_DIR [FOLDER] [PRESSES] [COLD_STARTS]
# FOLDER: a 100k-entry tree, e.g. made by make_tree.py FOLDER 100000 (outside /tmp).
# APP_LOG=FILE keeps the tray applications' output.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ "${1:-}" != --inside ]; then
  build=${1:?usage: bench_panel_open.sh BUILD_DIR [FOLDER] [PRESSES] [COLD_STARTS]}
  build=$(cd "$build" && pwd)
  exec "$here/../tests/support/gui/run-with-xvfb" --wm "$0" --inside "$build" "${@:2}"
fi
build=$2
folder=$(realpath "${3:-/var/tmp/soak-100k}")
presses=${4:-20}
cold_starts=${5:-3}
exe=$build/app/tarnwick
probe=$build/bench/bench_panel_open
[ -x "$exe" ] && [ -x "$probe" ] || { echo "build tarnwick and bench_panel_open first" >&2; exit 1; }

root=$(mktemp -d "${TMPDIR:-/var/tmp}/bench-panel-open.XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -z "${APP_LOG:-}" ] || cat "$root"/tarnwick-*.log >"$APP_LOG" 2>/dev/null || true
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
# Rendered with cairo: under Xvfb GTK's GL renderer runs on the CPU (llvmpipe), and a Nautilus
# drawing with it sometimes kept a core busy for over a minute after loading the folder.
GSK_RENDERER=cairo GDK_BACKEND=x11 nautilus --new-window "$folder" >"$root/nautilus.log" 2>&1 &
nautilus=$!
pids+=($nautilus)
for _ in $(seq 400); do owned org.freedesktop.FileManager1 && break; sleep 0.05; done
owned org.freedesktop.FileManager1 || { echo "Nautilus did not start" >&2; cat "$root/nautilus.log" >&2; exit 1; }
for _ in $(seq 400); do xdotool search --onlyvisible --class nautilus >/dev/null 2>&1 && break; sleep 0.05; done

# CPU time (clock ticks) a process has used so far.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
# Waits until PID has used at most one clock tick per half second for two seconds in a row (at
# most a minute): a Nautilus still loading or redrawing its 100k-entry view, or a tray still
# preparing its panel, would compete with the press for the two cores.
settle() {
  local pid=$1 what=$2 quiet=0 last now waited=0
  last=$(cpu_ticks "$pid")
  while [ "$quiet" -lt 4 ] && [ "$waited" -lt 120 ]; do
    sleep 0.5
    waited=$((waited + 1))
    now=$(cpu_ticks "$pid")
    if [ $((now - last)) -le 1 ]; then quiet=$((quiet + 1)); else quiet=0; fi
    last=$now
  done
  [ "$quiet" -ge 4 ] || echo "$what still busy after a minute: its numbers include that" >&2
}
app=
start_tray() {
  "$exe" >"$root/tarnwick-$1.log" 2>&1 &
  app=$!
  pids+=($app)
  for _ in $(seq 400); do owned org.tarnwick.Tarnwick && break; sleep 0.05; done
  settle "$app" "tray $1"
  settle "$nautilus" Nautilus
}
stop_tray() {
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  for _ in $(seq 100); do owned org.tarnwick.Tarnwick || break; sleep 0.05; done
}
settle "$nautilus" Nautilus

# Not counted: the first panel that takes the focus from Nautilus, and the first tray that goes,
# cost Nautilus about a second of CPU each (drawing its window unfocused, and again focused, for
# the first time), whoever the first one is.
start_tray 0
"$probe" "$app" ctrl+shift+space 1 >/dev/null || true
stop_tray

# One press on each fresh tray but the last, which gets all of them.
: >"$root/first.txt"
: >"$root/later.txt"
for start in $(seq "$cold_starts"); do
  runs=1
  [ "$start" -lt "$cold_starts" ] || runs=$presses
  start_tray "$start"
  echo "tray $start, load average: $(cut -d' ' -f1-3 /proc/loadavg)"
  "$probe" "$app" ctrl+shift+space "$runs" | tee "$root/presses.txt" || true
  grep '^press ' "$root/presses.txt" | head -n1 >>"$root/first.txt" || true
  grep '^press ' "$root/presses.txt" | tail -n+2 >>"$root/later.txt" || true
  [ "$start" -eq "$cold_starts" ] || stop_tray
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$root/first.txt" "$root/later.txt" <<'EOF'
import statistics, sys
def show(name, rows, index):
    values = [float(r[index]) for r in rows if float(r[index]) >= 0]
    if not values:
        print("%s: none of %d presses" % (name, len(rows)))
        return
    print("%s: median %.1f ms, min %.1f, max %.1f (%d of %d presses)" % (
        name, statistics.median(values), min(values), max(values), len(values), len(rows)))
for label, path in (("first press of a fresh tray", sys.argv[1]), ("later presses", sys.argv[2])):
    rows = [line.split() for line in open(path)]
    print(label + ":")
    show("  key to mapped panel", rows, 3)
    show("  key to first rows", rows, 5)
EOF
# SCREENSHOT=FILE: one more press, and the screen SCREENSHOT_AFTER seconds later.
if [ -n "${SCREENSHOT:-}" ]; then
  xdotool key ctrl+shift+space
  sleep "${SCREENSHOT_AFTER:-0.05}"
  import -window root "$SCREENSHOT"
  cat "$root/tarnwick.log"; tail -5 "$root/nautilus.log"
fi
