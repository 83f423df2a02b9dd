#!/usr/bin/python3
"""A real StatusNotifier host: xfce4-panel's systray on Xvfb with openbox. The host registers,
Tarnwick's item appears in its watcher with the menu the host reads over dbusmenu, and with
Nautilus in front on a folder of 3 files, "Search File Manager Window" chosen in the menu the
host opens (a right click on the icon, then the first entry) shows the panel on that folder.
Run inside tests/support/xfce/session.sh: xfce_tray_menu.py TARNWICK. Logs go to $OUT."""
import os, re, subprocess, sys, time
from gi.repository import Gio, GLib

TARNWICK = sys.argv[1]
OUT = os.environ["OUT"]
started = time.monotonic()
bus = Gio.bus_get_sync(Gio.BusType.SESSION)

def log(*words):
    print(f"[{time.monotonic() - started:5.1f} s]", *words, flush=True)

def fail(message):
    log("FAIL:", message)
    subprocess.run(["import", "-window", "root", f"{OUT}/failure.png"])
    sys.exit(1)

def wait_for(what, probe, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = probe()
        if value: return value
        time.sleep(0.1)
    fail(f"no {what} within {seconds} s")

def get(dest, path, iface, prop):
    return bus.call_sync(dest, path, "org.freedesktop.DBus.Properties", "Get",
                         GLib.Variant("(ss)", (iface, prop)), None, Gio.DBusCallFlags.NONE,
                         3000, None).unpack()[0]

def watcher(prop):
    try:
        return get("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                   "org.kde.StatusNotifierWatcher", prop)
    except GLib.Error:
        return None

def menu_labels(item):
    # The watcher lists "service/path" (KDE's form) or "service@path".
    service, _, path = re.match(r"([^/@]+)([/@]?)(.*)", item).groups()
    path = "/" + path.lstrip("/") if path else "/StatusNotifierItem"
    menu = get(service, path, "org.kde.StatusNotifierItem", "Menu")
    _, layout = bus.call_sync(service, menu, "com.canonical.dbusmenu", "GetLayout",
                              GLib.Variant("(iias)", (0, -1, [])), None,
                              Gio.DBusCallFlags.NONE, 3000, None).unpack()
    labels = []
    def walk(node):
        labels.append(node[1].get("label", "").replace("_", ""))
        for child in node[2]: walk(child)
    walk(layout)
    return [label for label in labels if label]

def xdotool(*args):
    run = subprocess.run(["xdotool", *args], capture_output=True, text=True)
    return run.stdout.strip() if run.returncode == 0 else ""

def panel_window(pid):
    return xdotool("search", "--onlyvisible", "--pid", str(pid), "--name", "^Tarnwick$")

tarnwick = subprocess.Popen([TARNWICK], stdout=open(f"{OUT}/tarnwick.log", "w"),
                            stderr=subprocess.STDOUT)
items = wait_for("item in the panel's watcher", lambda: watcher("RegisteredStatusNotifierItems"), 15)
if not watcher("IsStatusNotifierHostRegistered"): fail("xfce4-panel registered no host")
labels = menu_labels(items[0])
log("items", items, "menu", labels)
if "Search File Manager Window" not in labels: fail("the menu lacks Search File Manager Window")

folder = os.path.join(OUT, "Reports")
os.makedirs(folder)
for i in range(3): open(os.path.join(folder, f"report {i}.txt"), "w").write("x\n")
nautilus = subprocess.Popen(["nautilus", "--new-window", folder], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
wait_for("Nautilus in front on Reports",
         lambda: xdotool("getactivewindow", "getwindowname").startswith("Reports"), 30)
log("Nautilus in front on", folder)
# The systray sits at the right end of the 30 px panel along the top edge.
time.sleep(1)
xdotool("mousemove", "1266", "15", "click", "3")
time.sleep(1)
subprocess.run(["import", "-window", "root", f"{OUT}/tray-menu.png"])
xdotool("key", "Down", "Return")
wait_for("panel after the menu's Search File Manager Window", lambda: panel_window(tarnwick.pid),
         10)
def heights():
    return [int(re.search(r"Geometry: \d+x(\d+)", xdotool("getwindowgeometry", w)).group(1))
            for w in panel_window(tarnwick.pid).split()]
# 3 rows below the chrome, with or without the shadow margin (a compositing manager or none).
wait_for("panel sized for the folder's 3 files",
         lambda: {131 + 3 * 49, 131 + 3 * 49 + 36} & set(heights()), 10)
log("panel open on the folder, window heights", heights())
subprocess.run(["import", "-window", "root", f"{OUT}/panel.png"])
subprocess.run(["nautilus", "--quit"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
nautilus.wait(10)
tarnwick.terminate()
tarnwick.wait(10)
log("PASS")
