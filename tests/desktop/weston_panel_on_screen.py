#!/usr/bin/python3
"""A compositor that neither lets Tarnwick place its panel nor tells it where the panel is, and
does not centre new windows either: in a headless Weston session the panel opened on a folder of
1 file and on one of 30 (a list taller than the room below where a small window may be put) ends
fully on the 800 px output, as Weston's own screenshot shows. Run inside
tests/support/weston/session.sh: weston_panel_on_screen.py TARNWICK. Logs go to $OUT."""
import glob, os, subprocess, sys, time
import gi
gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf

TARNWICK = sys.argv[1]
OUT = os.environ["OUT"]
started = time.monotonic()

def log(*words):
    print(f"[{time.monotonic() - started:5.1f} s]", *words, flush=True)

def screenshot(name):
    shots = os.path.join(OUT, "shots")
    os.makedirs(shots, exist_ok=True)
    for old in glob.glob(os.path.join(shots, "wayland-screenshot-*.png")): os.remove(old)
    subprocess.run(["weston-screenshooter"], cwd=shots, timeout=10, check=True)
    taken = glob.glob(os.path.join(shots, "wayland-screenshot-*.png"))
    path = os.path.join(OUT, name + ".png")
    os.replace(taken[0], path)
    return GdkPixbuf.Pixbuf.new_from_file(path)

def is_panel(rgb):
    """The panel's light face or its blue selected row; Weston's background is mid-grey, its bar
    dark with light text."""
    red, green, blue = rgb
    return min(rgb) >= 225 or blue > red + 60

def light_area(image):
    """The box around the rows that are panel most of a panel's width."""
    width, height, stride = image.get_width(), image.get_height(), image.get_rowstride()
    step, pixels = image.get_n_channels(), image.get_pixels()
    rows, left, right = [], width, 0
    for y in range(height):
        line = pixels[y * stride: y * stride + width * step]
        light = [x for x in range(0, width, 4) if is_panel(line[x * step: x * step + 3])]
        if len(light) * 4 >= 400:
            rows.append(y)
            left, right = min(left, light[0]), max(right, light[-1])
    if not rows: return None
    return {"x": left, "y": rows[0], "right": right, "bottom": rows[-1],
            "width": width, "height": height}

def settled_panel(name):
    """The panel's box once two screenshots half a second apart agree."""
    last, deadline = None, time.monotonic() + 20
    while time.monotonic() < deadline:
        box = light_area(screenshot(name))
        if box and box == last: return box
        last = box
        time.sleep(0.5)
    log("FAIL: no settled panel within 20 s in", name, "last seen:", last)
    sys.exit(1)

def folder_with(name, files):
    path = os.path.join(OUT, name)
    os.makedirs(path, exist_ok=True)
    for i in range(files): open(os.path.join(path, f"note {i:02}.txt"), "w").write("x\n")
    return path

failed = False
for name, files in (("Thirty", 30), ("One", 1)):
    tarnwick = subprocess.Popen([TARNWICK, "--panel", folder_with(name, files)],
                                stdout=open(f"{OUT}/tarnwick-{name.lower()}.log", "w"),
                                stderr=subprocess.STDOUT)
    box = settled_panel(name.lower())
    # A panel cut by an edge would reach it; one fully shown ends short of it, shadow and all.
    on_screen = box["y"] > 0 and box["x"] > 0 and box["bottom"] < box["height"] - 4 \
        and box["right"] < box["width"] - 4
    log(f"{files} files: panel face {box}:", "on screen" if on_screen else "RUNS OFF THE SCREEN")
    failed |= not on_screen
    if files == 30 and box["bottom"] - box["y"] <= 300:
        log("FAIL: the panel shows no room for 30 files"); failed = True
    tarnwick.terminate()
    tarnwick.wait(10)
log("FAIL" if failed else "PASS")
sys.exit(1 if failed else 0)
