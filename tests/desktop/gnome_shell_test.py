#!/usr/bin/python3
"""Tarnwick in a real GNOME Shell 43 session (Wayland, headless) with Nautilus.

    gnome_shell_test.py extension|plain TARNWICK SUPPORT_DIR EXTENSION_DIR OUT_DIR

extension: Tarnwick's shell extension enabled. The keyboard-settings shortcut Tarnwick offered
before the extension is removed once the extension binds the key. Two Nautilus windows on
different folders, the front one with a second tab; the shortcut (keys injected) opens the panel
on the front window's active tab, placed by the rule and kept above; typed keys reach its field;
a second press closes it; so does a click on the Nautilus window.
plain: without the extension, what worked before it: one Nautilus window gives a panel, two
give none (the ambiguous case beeps).

The panel tells its folder by its height: each folder holds a different number of files, and
the panel grows by one row per result."""
import json, os, subprocess, sys, time

sys.path.insert(0, sys.argv[3])
import gnome_session
from gnome_session import GnomeSession, RemoteInput, call, has_owner, wait_for

MODE, TARNWICK, SUPPORT, EXTENSION, OUT = sys.argv[1:6]
SHORTCUT = "Control_L+Shift_L+space"
MEDIA_KEYS = "org.gnome.settings-daemon.plugins.media-keys"
OURS = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/tarnwick/"
# Heights of the visible panel: 131 px of chrome and 49 per result row.
def height_for(results):
    return 131 + 49 * results


def observed_windows():
    return json.loads(call("org.tarnwick.TestObserver", "/org/tarnwick/TestObserver",
                           "org.tarnwick.TestObserver", "Windows", None, "(s)")[0])


def window_titled(title, pid=None):
    for w in observed_windows():
        if w["title"] == title and (pid is None or w["pid"] == pid):
            return w
    return None


def focused_title():
    return next((w["title"] for w in observed_windows() if w["focused"]), None)


def wait_for_or_none(predicate, timeout=1.0):
    try:
        return wait_for("", predicate, timeout)
    except AssertionError:
        return None


def uri(path):
    return "file://" + path


def open_locations():
    """Nautilus's windows with their tabs' locations."""
    return call("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                "org.freedesktop.DBus.Properties", "Get",
                gnome_session.GLib.Variant("(ss)", ("org.freedesktop.FileManager1",
                                                    "OpenWindowsWithLocations")), "(v)")[0]


def extension_status():
    return json.loads(call("org.tarnwick.GnomeShell", "/org/tarnwick/GnomeShell",
                           "org.tarnwick.GnomeShell", "Status", None, "(s)")[0])


def expected_rect(work, height):
    """Centred across the work area, bottom edge 100 above its middle at the opening height
    of 120, grown downward; moved up only as far as the work area's bottom demands."""
    x = work["x"] + work["width"] // 2 - 320
    top = work["y"] + work["height"] // 2 - 100 - 120
    top = max(work["y"], min(top, work["y"] + work["height"] - height))
    return {"x": x, "y": top, "width": 640, "height": height}


def make_folders():
    home = os.environ["HOME"]
    folders = {}
    for name, files in (("alpha", 1), ("bravo", 4), ("charlie", 2)):
        folder = os.path.join(home, name)
        os.makedirs(folder)
        names = ["xylophone.txt", "notes.md", "draft.md", "plan.md"][:files]
        for f in names:
            open(os.path.join(folder, f), "w").write(name)
        folders[name] = folder
    return folders


def open_nautilus(session, folder, title):
    session.start("nautilus-" + title, ["nautilus", "--new-window", folder])
    wait_for(f"a Nautilus window on {title}", lambda: focused_title() == title, timeout=30)


def start_tarnwick(session):
    tarnwick = session.start("tarnwick", [TARNWICK], env={"QT_QPA_PLATFORM": "wayland"})
    wait_for("Tarnwick on the bus", lambda: has_owner("org.tarnwick.Tarnwick"), timeout=15)
    return tarnwick


def panel_in_status(height=None):
    panel = extension_status()["panel"]
    if panel and (height is None or panel["rect"]["height"] == height):
        return panel
    return None


def custom_keybindings():
    return subprocess.check_output(["gsettings", "get", MEDIA_KEYS, "custom-keybindings"],
                                   text=True)


def with_extension(session):
    wait_for("the extension", lambda: has_owner("org.tarnwick.GnomeShell"), timeout=15)
    folders = make_folders()
    # The keyboard-settings shortcut offered before the extension: a second binding of the key.
    subprocess.check_call(["gsettings", "set", MEDIA_KEYS, "custom-keybindings", f"['{OURS}']"])
    subprocess.check_call(["gsettings", "set", f"{MEDIA_KEYS}.custom-keybinding:{OURS}",
                           "binding", "<Control><Shift>space"])
    tarnwick = start_tarnwick(session)
    wait_for("the old keyboard-settings shortcut removed", lambda: OURS not in custom_keybindings())
    open_nautilus(session, folders["alpha"], "alpha")
    open_nautilus(session, folders["bravo"], "bravo")
    with RemoteInput() as keys:
        # A second tab in the front window, moved to charlie: the tab that is shown.
        def second_tab():
            keys.keys("Control_L+t")  # lost when Nautilus is not ready for it yet
            return wait_for_or_none(lambda: any(len(t) == 2 for t in open_locations().values()))
        wait_for("a second tab", second_tab, timeout=10, step=0.2)
        keys.keys("Control_L+l")
        time.sleep(0.3)
        keys.type(folders["charlie"])
        keys.keys("Return")
        wait_for("the tab on charlie", lambda: focused_title() == "charlie")
    tabs = sorted(open_locations().values(), key=len)
    assert tabs == [[uri(folders["alpha"])], [uri(folders["bravo"]), uri(folders["charlie"])]], tabs

    with RemoteInput() as keys:
        keys.keys(SHORTCUT)
        # Charlie's two files: the panel opened on the front window's active tab.
        panel = wait_for("the panel on charlie", lambda: panel_in_status(height_for(2)))
        assert panel["rect"] == expected_rect(panel["workArea"], height_for(2)), panel
        assert panel["above"] and panel["focused"], panel
        seen = window_titled("Tarnwick", tarnwick.pid)
        visible = [seen["rect"][0], seen["rect"][1], seen["rect"][2], seen["rect"][3]]
        assert seen["above"] and visible[2] >= 640 and visible[3] >= height_for(2), seen
        shot = os.path.join(OUT, "gnome-panel.png")
        session.screenshot(shot)
        print("screenshot:", shot)
        print("timings:", json.dumps(extension_status()["timings"]))
        # Typed keys reach the field: one of charlie's files has an x.
        keys.type("xy")
        wait_for("the filtered panel", lambda: panel_in_status(height_for(1)))
        keys.keys(SHORTCUT)
        wait_for("the panel closed by a second press", lambda: not window_titled("Tarnwick"))

    with RemoteInput() as keys:
        keys.keys(SHORTCUT)
        panel = wait_for("the panel again", lambda: panel_in_status(height_for(2)))
        nautilus = window_titled("charlie")
        others = [o["rect"] for o in observed_windows() if o["title"] not in ("charlie", "Tarnwick")]
        p = panel["rect"]
        x, y, w, h = nautilus["rect"]
        # A point of the Nautilus window below the panel that no other window covers (the shell
        # stacks Nautilus's two windows as it likes once the panel has come and gone).
        below = max(y + h - 20, p["y"] + p["height"] + 10)
        inside = lambda px, r: r[0] <= px[0] < r[0] + r[2] and r[1] <= px[1] < r[1] + r[3]
        target = next((t for t in ((x + 10, below), (x + w // 2, below), (x + w - 10, below))
                       if not any(inside(t, r) for r in others)), (x + w // 2, below))
        assert target[1] < y + h, (nautilus, panel)
        keys.click(*target)
        wait_for("the panel closed by a click on Nautilus", lambda: not window_titled("Tarnwick"))
        # The shell hands the focus on a moment after the panel goes.
        if not wait_for_or_none(lambda: focused_title() == "charlie", timeout=3):
            raise AssertionError(f"focus on {focused_title()!r} after the click at {target}: "
                                 f"{observed_windows()}")


def without_extension(session):
    folders = make_folders()
    tarnwick = start_tarnwick(session)
    activate = lambda: subprocess.check_call([TARNWICK, "--activate"],
                                             env=dict(os.environ, QT_QPA_PLATFORM="wayland"))
    open_nautilus(session, folders["alpha"], "alpha")
    with RemoteInput():
        activate()
        wait_for("a panel with one Nautilus window",
                 lambda: window_titled("Tarnwick", tarnwick.pid))
        activate()
        wait_for("the panel closed", lambda: not window_titled("Tarnwick"))
    open_nautilus(session, folders["bravo"], "bravo")
    with RemoteInput():
        activate()
        time.sleep(1.5)  # the front-folder question is answered well within a second
        assert not window_titled("Tarnwick"), "two windows are ambiguous without the extension"


def main():
    gnome_session.run_inside([os.path.abspath(__file__)] + sys.argv[1:])
    os.makedirs(OUT, exist_ok=True)
    with GnomeSession([EXTENSION] if MODE == "extension" else [], OUT) as session:
        try:
            (with_extension if MODE == "extension" else without_extension)(session)
        except Exception:
            shot = os.path.join(OUT, "failed.png")
            session.screenshot(shot)
            print("screenshot at the failure:", shot)
            print("windows at the failure:", json.dumps(observed_windows()))
            if MODE == "extension":
                print("extension status at the failure:", json.dumps(extension_status()))
            raise
    print(f"gnome_shell_test {MODE}: passed")


if __name__ == "__main__":
    main()
