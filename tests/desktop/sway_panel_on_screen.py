#!/usr/bin/python3
"""A compositor that neither lets Tarnwick place its panel nor tells it where the panel is: in a
headless sway session (every window floating, so centred at its first size), the panel opened on
a folder of 1 file and on one of 30 (a list taller than the room below the centred window) ends
fully on the 800 px output, as sway itself reports it. Run inside tests/support/sway/session.sh:
sway_panel_on_screen.py TARNWICK. Logs go to $OUT."""
import json, os, subprocess, sys, time

TARNWICK = sys.argv[1]
OUT = os.environ["OUT"]
started = time.monotonic()

def log(*words):
    print(f"[{time.monotonic() - started:5.1f} s]", *words, flush=True)

def windows(node=None):
    if node is None:
        node = json.loads(subprocess.run(["swaymsg", "-t", "get_tree"], capture_output=True,
                                         text=True, check=True).stdout)
    found = [node] if node.get("app_id") or node.get("window_properties") else []
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        found += windows(child)
    return found

def output():
    outputs = json.loads(subprocess.run(["swaymsg", "-t", "get_outputs"], capture_output=True,
                                        text=True, check=True).stdout)
    return outputs[0]["rect"]

def settled_panel(pid, files):
    """The panel's rectangle once it has kept one size for a second."""
    last, since, deadline = None, time.monotonic(), time.monotonic() + 20
    while time.monotonic() < deadline:
        found = [w["rect"] for w in windows() if w.get("pid") == pid]
        rect = found[0] if found else None
        if rect != last: last, since = rect, time.monotonic()
        elif rect and time.monotonic() - since > 1.0: return rect
        time.sleep(0.1)
    log("FAIL: no settled panel within 20 s for", files, "files; windows:", windows())
    sys.exit(1)

def folder_with(name, files):
    path = os.path.join(OUT, name)
    os.makedirs(path, exist_ok=True)
    for i in range(files): open(os.path.join(path, f"note {i:02}.txt"), "w").write("x\n")
    return path

screen = output()
log("output", screen)
failed = False
for name, files in (("One", 1), ("Thirty", 30)):
    tarnwick = subprocess.Popen([TARNWICK, "--panel", folder_with(name, files)],
                                stdout=open(f"{OUT}/tarnwick-{name.lower()}.log", "w"),
                                stderr=subprocess.STDOUT)
    rect = settled_panel(tarnwick.pid, files)
    bottom = rect["y"] + rect["height"]
    on_screen = rect["y"] >= screen["y"] and bottom <= screen["y"] + screen["height"] \
        and rect["x"] >= screen["x"] and rect["x"] + rect["width"] <= screen["x"] + screen["width"]
    log(f"{files} files: panel window {rect}, bottom at {bottom}:",
        "on screen" if on_screen else "RUNS OFF THE SCREEN")
    failed |= not on_screen
    # Grown at all: the list's height follows the files, within the room below.
    if files == 30 and rect["height"] <= 300:
        log("FAIL: the panel did not grow for 30 files"); failed = True
    tarnwick.terminate()
    tarnwick.wait(10)
log("FAIL" if failed else "PASS")
sys.exit(1 if failed else 0)
