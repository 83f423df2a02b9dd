#!/usr/bin/python3
"""Plasma's window manager, for real: in a headless KWin session (5.27 or 6) with the KDE portal and
Nautilus, the shortcut Tarnwick binds through the GlobalShortcuts portal shows up in
kglobalaccel, and pressing it (kglobalaccel's invokeShortcut) opens the panel on the folder of
Nautilus's window, where the panel's rule puts it: centred on the usable area of the screen
under the pointer, its bottom edge 100 px above the middle at opening height, grown downward and
moved up no further than the usable area demands. With 3 files and with 30 (the list's full
height runs past the bottom). Run inside tests/support/kwin/session.sh: kwin_shortcut_panel.py
TARNWICK SUPPORT_DIR. Screenshots and logs go to $OUT."""
import json, os, subprocess, sys, time

TARNWICK, SUPPORT = sys.argv[1], sys.argv[2]
OUT = os.environ["OUT"]
started = time.monotonic()

def log(*words):
    print(f"[{time.monotonic() - started:5.1f} s]", *words, flush=True)

def fail(message):
    log("FAIL:", message, "- KWin's windows:", json.dumps(kwin()))
    sys.exit(1)

def wait_for(what, probe, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            value = probe()
        except subprocess.CalledProcessError as error:
            # KWin may refuse one listing script while a window maps: asked again.
            log("probe failed:", error.stderr.strip()[-200:] if error.stderr else error)
            value = None
        if value: return value
        time.sleep(0.1)
    fail(f"no {what} within {seconds} s")

def gdbus(*args):
    run = subprocess.run(["gdbus", "call", "--session", *args], capture_output=True, text=True)
    return run.stdout if run.returncode == 0 else ""

def kwin():
    return json.loads(subprocess.run([f"{SUPPORT}/windows.py"], capture_output=True, text=True,
                                     check=True).stdout)

def shortcut_component():
    """The kglobalaccel component holding Tarnwick's shortcut, as an object path."""
    listed = gdbus("-d", "org.kde.kglobalaccel", "-o", "/kglobalaccel",
                   "-m", "org.kde.KGlobalAccel.allComponents")
    for path in listed.replace("objectpath", "").strip("()[],\n ").split(","):
        path = path.strip(" '")
        if path and "'activate-search'" in gdbus("-d", "org.kde.kglobalaccel", "-o", path, "-m",
                                                 "org.kde.kglobalaccel.Component.shortcutNames"):
            return path
    return None

def press(component):
    gdbus("-d", "org.kde.kglobalaccel", "-o", component, "-m",
          "org.kde.kglobalaccel.Component.invokeShortcut", "activate-search")

def panel(tarnwick):
    found = [w for w in kwin()["windows"] if w["pid"] == tarnwick.pid and w["caption"] == "Tarnwick"]
    return found[0] if found else None

def check_placement(window, area, files):
    """The panel's rectangle (the window less its shadow margin) against the rule."""
    margin = (window["width"] - 640) // 2
    height = 131 + 49 * min(files, 10)
    x = area["x"] + area["width"] // 2 - 320
    top = area["y"] + area["height"] // 2 - 100 - 120
    bottom = area["y"] + area["height"]
    if top + height > bottom: top = max(area["y"], bottom - height)
    seen = (window["x"] + margin, window["y"] + margin, window["width"] - 2 * margin,
            window["height"] - 2 * margin)
    log(f"panel {seen} (shadow margin {margin}), rule {(x, top, 640, height)}, area {area}")
    if seen != (x, top, 640, height): fail("the panel is not where the rule puts it")
    if seen[1] < area["y"] or seen[1] + seen[3] > bottom or seen[0] < area["x"] \
            or seen[0] + seen[2] > area["x"] + area["width"]:
        fail("the panel is not fully inside the usable area")
    if not window["keepAbove"]: fail("the panel is not kept above other windows")

shot_py_no_screenshots = 3

def folder_with(name, files):
    path = os.path.join(OUT, name)
    os.makedirs(path, exist_ok=True)
    for i in range(files): open(os.path.join(path, f"note {i:02}.txt"), "w").write("x\n")
    return path

tarnwick = subprocess.Popen([TARNWICK], stdout=open(f"{OUT}/tarnwick.log", "w"),
                            stderr=subprocess.STDOUT)
component = wait_for("shortcut in kglobalaccel", shortcut_component, 15)
log("bound through the portal:", component)
for name, files in (("Small", 3), ("Large", 30)):
    folder = folder_with(name, files)
    nautilus = subprocess.Popen(["nautilus", "--new-window", folder], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
    wait_for(f"active Nautilus window on {name}", lambda: any(
        w["active"] and w["resourceClass"] == "org.gnome.Nautilus" and w["caption"] == name
        for w in kwin()["windows"]), 20)
    # Nautilus 48 answers its first FileManager1 call only after most of a second, longer than
    # Tarnwick waits for the front folder: asked once here, as a running file manager would be.
    wait_for(f"Nautilus reporting {name}", lambda: f"'file://{folder}'" in gdbus(
        "-d", "org.freedesktop.FileManager1", "-o", "/org/freedesktop/FileManager1",
        "-m", "org.freedesktop.DBus.Properties.Get", "org.freedesktop.FileManager1",
        "OpenLocations"), 10)
    log("Nautilus in front on", folder)
    pressed = time.monotonic()
    press(component)
    wait_for("panel", lambda: panel(tarnwick), 10)
    log(f"panel shown {time.monotonic() - pressed:.2f} s after the press")
    # The panel's height follows the number of files listed: this folder's, not another's.
    window = wait_for(f"panel on {name}", lambda: (lambda w: w if w and w["height"] - w["width"]
                      + 640 == 131 + 49 * min(files, 10) else None)(panel(tarnwick)), 10)
    log(f"panel sized for {files} files {time.monotonic() - pressed:.2f} s after the press")
    time.sleep(0.5)  # placed again after its last resize: read the settled geometry
    check_placement(panel(tarnwick), kwin()["area"], files)
    shot = subprocess.run([f"{SUPPORT}/shot.py", f"{OUT}/kwin-{name.lower()}.png"])
    if shot.returncode == shot_py_no_screenshots:
        log("no screenshot: this KWin offers no ScreenShot2")
    elif shot.returncode:
        fail("the screenshot failed")
    press(component)  # a second press closes it
    wait_for("panel closed", lambda: panel(tarnwick) is None, 10)
    subprocess.run(["nautilus", "--quit"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    nautilus.wait(10)
tarnwick.terminate()
tarnwick.wait(10)
if "Failed to register global hot key" in open(f"{OUT}/tarnwick.log").read():
    fail("tarnwick says the shortcut failed although kglobalaccel holds it")
log("PASS")
