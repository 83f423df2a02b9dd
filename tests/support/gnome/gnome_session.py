"""A real GNOME Shell session for tests, headless: gnome-shell --headless --wayland with a
virtual monitor in a private session bus, keys and clicks through Mutter's RemoteDesktop, and
screenshots through the shell.

    with GnomeSession(extensions=[...]) as session:   # re-runs nothing: call from inside main()
        ...
GnomeSession.run_inside(main) re-executes the calling script inside `dbus-run-session` with a
fresh HOME and XDG_RUNTIME_DIR (bus-activated services such as dconf and Nautilus inherit the
environment the bus had when it started)."""
import json, os, shutil, signal, subprocess, sys, tempfile, time

from gi.repository import Gio, GLib

WIDTH, HEIGHT = 1280, 800
KEYSYMS = {"Control_L": 0xFFE3, "Shift_L": 0xFFE1, "Escape": 0xFF1B, "Return": 0xFF0D,
           "space": 0x20, "BackSpace": 0xFF08}
_INSIDE = "TARNWICK_GNOME_SESSION_INSIDE"
# The tests' own extension (next to this file), which lists windows.
OBSERVER = "org.tarnwick.TestObserver"


def _shell_major():
    version = subprocess.run(["gnome-shell", "--version"], capture_output=True, text=True).stdout
    return int(version.split()[-1].split(".")[0]) if version else 0


# GNOME Shell 45 loads extensions as ES modules only.
OBSERVER_EXTENSION = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                  "observer-modules" if _shell_major() >= 45 else "observer-legacy",
                                  "observer@tests.tarnwick.org")


def run_inside(argv):
    """Re-executes `argv` inside a private session bus, unless that is where we are."""
    if os.environ.get(_INSIDE):
        return
    home = tempfile.mkdtemp(prefix="tarnwick-gnome-home-")
    runtime = tempfile.mkdtemp(prefix="tarnwick-gnome-run-")
    os.chmod(runtime, 0o700)
    env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime, XDG_SESSION_TYPE="wayland",
               XDG_CURRENT_DESKTOP="GNOME", WAYLAND_DISPLAY="wayland-tarnwick", **{_INSIDE: "1"})
    for key in ("DISPLAY", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM"):
        env.pop(key, None)
    try:
        code = subprocess.call(["dbus-run-session", "--", sys.executable] + argv, env=env)
    finally:
        shutil.rmtree(home, ignore_errors=True)
        shutil.rmtree(runtime, ignore_errors=True)
    sys.exit(code)


_bus = None


def bus():
    # One connection for the whole test: the shell ends an input session when the connection
    # that created it goes, and GIO drops its shared connection with the last reference.
    global _bus
    if _bus is None:
        _bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    return _bus


def call(name, path, iface, method, args=None, reply=None, timeout=5000):
    result = bus().call_sync(name, path, iface, method, args, reply and GLib.VariantType(reply),
                             Gio.DBusCallFlags.NO_AUTO_START, timeout, None)
    return result.unpack() if result is not None else None


def has_owner(name):
    return call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                "NameHasOwner", GLib.Variant("(s)", (name,)), "(b)")[0]


def wait_for(what, predicate, timeout=20.0, step=0.05):
    """Polls `predicate` until it returns something true; fails the test after `timeout`."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(step)


class GnomeSession:
    """gnome-shell with the observer and `extensions` (folders named by UUID) installed for
    the user and enabled, out of its start-up overview. Logs go to `log_dir`."""

    def __init__(self, extensions, log_dir):
        self.extensions = [OBSERVER_EXTENSION] + extensions
        self.log_dir, self.processes = log_dir, []

    def __enter__(self):
        runtime = os.environ["XDG_RUNTIME_DIR"]
        system_bus = f"unix:path={runtime}/system_bus"
        # The shell needs *a* system bus; its logind calls fail softly on a private one.
        system = subprocess.check_output(["dbus-daemon", "--session", f"--address={system_bus}",
                                          "--fork", "--print-pid"], text=True)
        self.system_bus_pid = int(system.split()[0])
        os.environ["DBUS_SYSTEM_BUS_ADDRESS"] = system_bus
        subprocess.check_call(["dbus-update-activation-environment", "--all"])
        target = os.path.join(os.environ["HOME"], ".local/share/gnome-shell/extensions")
        for folder in self.extensions:
            shutil.copytree(folder, os.path.join(target, os.path.basename(folder)))
        uuids = [os.path.basename(f) for f in self.extensions]
        subprocess.check_call(["gsettings", "set", "org.gnome.shell", "enabled-extensions",
                               json.dumps(uuids)])
        try:
            self.start("gnome-shell", ["gnome-shell", "--headless", "--wayland", "--no-x11",
                                       f"--virtual-monitor={WIDTH}x{HEIGHT}",
                                       f"--wayland-display={os.environ['WAYLAND_DISPLAY']}"])
            for name in ("org.gnome.Shell", "org.gnome.Mutter.RemoteDesktop"):
                wait_for(name, lambda: has_owner(name), timeout=30)
            # The shell starts in the overview; its input sessions work only once it is fully up.
            wait_for("the observer", lambda: has_owner(OBSERVER))
            wait_for("the desktop out of the overview", self._leave_overview, timeout=20, step=0.3)
        except BaseException:
            self.__exit__()  # a failed start leaves no shell or system bus behind
            raise
        return self

    def _leave_overview(self):
        state = call(OBSERVER, "/org/tarnwick/TestObserver", OBSERVER, "ShellState", None, "(s)")[0]
        if state == "desktop":
            return True
        if state == "starting":
            # GNOME Shell 48 could stay in its start-up for good once a key came in during it.
            return False
        try:
            with RemoteInput() as keys:
                keys.keys("Escape")
        except GLib.Error:
            pass
        return False

    def start(self, name, argv, env=None):
        log = open(os.path.join(self.log_dir, name + ".log"), "w")
        process = subprocess.Popen(argv, stdout=log, stderr=subprocess.STDOUT,
                                   env=dict(os.environ, **(env or {})))
        self.processes.append(process)
        return process

    def __exit__(self, *exc):
        for process in reversed(self.processes):
            process.terminate()
        for process in reversed(self.processes):
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        os.kill(self.system_bus_pid, signal.SIGTERM)  # forked: no child of ours

    def screenshot(self, path):
        """The whole screen as a PNG. The shell answers only names on its allow list."""
        call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
             "RequestName", GLib.Variant("(su)", ("org.gnome.Screenshot", 4)), "(u)")
        ok = wait_for("a screenshot", lambda: call(
            "org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
            "org.gnome.Shell.Screenshot", "Screenshot",
            GLib.Variant("(bbs)", (False, True, path)), "(bs)", 10000)[0], timeout=5, step=0.3)
        return ok


class RemoteInput:
    """Keys and clicks as the user would make them, through org.gnome.Mutter.RemoteDesktop.
    While the session is open the shell treats its device as present: when it ends, the
    focused client loses the keyboard (a panel that closes on focus loss closes), so keep it
    open while asserting."""
    RD, S = "org.gnome.Mutter.RemoteDesktop", "org.gnome.Mutter.RemoteDesktop.Session"

    def __enter__(self):
        self.session = call(self.RD, "/org/gnome/Mutter/RemoteDesktop", self.RD,
                            "CreateSession", None, "(o)")[0]
        call(self.RD, self.session, self.S, "Start")
        # The session's virtual devices join the seat a moment after Start: a modifier pressed
        # at once may be lost (Nautilus 48 then took Ctrl+T for a "t" typed into a search).
        time.sleep(0.2)
        return self

    def __exit__(self, *exc):
        time.sleep(0.1)
        call(self.RD, self.session, self.S, "Stop")

    def _send(self, method, fmt, *args):
        call(self.RD, self.session, self.S, method, GLib.Variant(fmt, args))
        time.sleep(0.03)

    def keys(self, combination):
        """"Control_L+Shift_L+space": pressed in order, released in reverse."""
        syms = [KEYSYMS.get(n) or ord(n) for n in combination.split("+")]
        for k in syms:
            self._send("NotifyKeyboardKeysym", "(ub)", k, True)
        for k in reversed(syms):
            self._send("NotifyKeyboardKeysym", "(ub)", k, False)

    def type(self, text):
        for ch in text:
            self.keys(ch)

    def click(self, x, y):
        # From the top-left corner, wherever the pointer was.
        self._send("NotifyPointerMotionRelative", "(dd)", -5000.0, -5000.0)
        self._send("NotifyPointerMotionRelative", "(dd)", float(x), float(y))
        self._send("NotifyPointerButton", "(ib)", 0x110, True)  # BTN_LEFT
        self._send("NotifyPointerButton", "(ib)", 0x110, False)
