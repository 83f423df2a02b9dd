#!/usr/bin/env python3
"""Opens and closes many panels in one running tray application and records what it keeps.

    bench/soak_panels.sh BUILD_DIR [FOLDER] [PANELS]     (under a private Xvfb with openbox)
    soak_panels.py TARNWICK FOLDER [--panels N] [--query-every K] [--query TEXT]

The application runs on a private session bus of its own (no service can be started on it, so
no Tracker miner: the folder is listed on disk and its text read by the embedded scanner). Each
panel is a `tarnwick FOLDER` hand-over, sent as the message such a start sends
(org.freedesktop.Application.Open), and is closed with Escape; every K-th gets a query typed
first. After panels 10, 100 and N, once the process is quiet, it prints resident memory, open
file descriptors and threads; after the last close, the CPU time used in the two seconds that
follow and in the two after those. A line every 50 panels traces memory.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time

TICKS = os.sysconf("SC_CLK_TCK")


def run(*args, env=None, check=True):
    return subprocess.run(args, env=env, check=check, capture_output=True, text=True).stdout


class Soak:
    def __init__(self, exe, folder, root):
        self.exe, self.folder, self.root = exe, os.path.realpath(folder), root
        shutil.rmtree(root, ignore_errors=True)
        for sub in ("home", "config", "data", "cache", "run", "services"):
            os.makedirs(os.path.join(root, sub))
        os.chmod(os.path.join(root, "run"), 0o700)
        with open(os.path.join(root, "bus.conf"), "w") as conf:
            conf.write(
                "<busconfig><type>session</type><listen>unix:path=%s/run/bus</listen>"
                "<auth>EXTERNAL</auth><servicedir>%s/services</servicedir>"
                '<policy context="default"><allow send_destination="*" eavesdrop="true"/>'
                '<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>\n' % (root, root))
        self.bus = subprocess.Popen(
            ["dbus-daemon", "--config-file=" + os.path.join(root, "bus.conf"), "--nofork",
             "--print-address=1"], stdout=subprocess.PIPE, text=True)
        address = self.bus.stdout.readline().strip()
        self.env = dict(os.environ, HOME=root + "/home", XDG_CONFIG_HOME=root + "/config",
                        XDG_DATA_HOME=root + "/data", XDG_CACHE_HOME=root + "/cache",
                        XDG_RUNTIME_DIR=root + "/run", DBUS_SESSION_BUS_ADDRESS=address,
                        QT_QPA_PLATFORM="xcb", XDG_SESSION_TYPE="x11")
        self.log = open(os.path.join(root, "tarnwick.log"), "w")
        self.app = subprocess.Popen([exe], env=self.env, stdout=self.log, stderr=self.log)
        self.wait_for(lambda: "true" in self.gdbus(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
            "org.tarnwick.Tarnwick"), 30, "the application never owned its name")

    def gdbus(self, dest, path, method, *args):
        return run("gdbus", "call", "--session", "--dest", dest, "--object-path", path,
                   "--method", method, *args, env=self.env, check=False)

    def wait_for(self, condition, seconds, failure):
        deadline = time.monotonic() + seconds
        while not (value := condition()):
            if self.app.poll() is not None:
                sys.exit("the application ended (%d); see %s/tarnwick.log" % (self.app.returncode,
                                                                             self.root))
            if time.monotonic() > deadline:
                sys.exit(failure)
            time.sleep(0.05)
        return value

    def panel(self):
        out = run("xdotool", "search", "--onlyvisible", "--pid", str(self.app.pid),
                  "--name", "^Tarnwick$", check=False).split()
        return out[0] if out else None

    def open_and_close(self, query):
        uri = "file://" + self.folder  # the folder names only ASCII here
        answer = self.gdbus("org.tarnwick.Tarnwick", "/org/tarnwick/Tarnwick",
                            "org.freedesktop.Application.Open", "['%s']" % uri, "{}")
        if answer.strip() != "()":
            sys.exit("the hand-over failed: %r" % answer)
        window = self.wait_for(self.panel, 60, "no panel showed")
        run("xdotool", "windowfocus", "--sync", window, check=False)
        if query:
            empty = self.height(window)
            run("xdotool", "type", "--delay", "40", query)
            # Rows make the panel taller once the folder is listed and filtered; the scanner's
            # content hits come a little later.
            self.wait_for(lambda: self.height(window) > empty, 120, "no rows showed")
            time.sleep(1)
            if os.environ.get("SOAK_SHOT"):
                subprocess.run("import -window root %s" % os.environ["SOAK_SHOT"],
                               shell=True)
        run("xdotool", "key", "Escape")
        self.wait_for(lambda: self.panel() is None, 60, "the panel did not close")

    def height(self, window):
        geometry = run("xdotool", "getwindowgeometry", "--shell", window, check=False)
        return next((int(line[7:]) for line in geometry.splitlines()
                     if line.startswith("HEIGHT=")), 0)

    def figures(self):
        status = open("/proc/%d/status" % self.app.pid).read()
        rss = next(int(line.split()[1]) for line in status.splitlines()
                   if line.startswith("VmRSS:"))
        fds = len(os.listdir("/proc/%d/fd" % self.app.pid))
        threads = len(os.listdir("/proc/%d/task" % self.app.pid))
        return rss, fds, threads

    def thread_names(self):
        names = {}
        for task in os.listdir("/proc/%d/task" % self.app.pid):
            with open("/proc/%d/task/%s/comm" % (self.app.pid, task)) as comm:
                name = comm.read().strip()
            names[name] = names.get(name, 0) + 1
        return ", ".join("%s%s" % (name, " x%d" % n if n > 1 else "")
                         for name, n in sorted(names.items()))

    def heap(self):
        # glibc's own count over all arenas: what is allocated, and what it keeps free.
        text = run("gdb", "-p", str(self.app.pid), "-batch", "-ex", "print mallinfo2()",
                   check=False)
        fields = dict((k, int(v)) for k, v in re.findall(r"(\w+) = (\d+)", text))
        return {"in_use": fields.get("uordblks", 0) + fields.get("hblkhd", 0),
                "free": fields.get("fordblks", 0)}

    def cpu_ticks(self):
        fields = open("/proc/%d/stat" % self.app.pid).read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])  # utime + stime

    def end(self, keep):
        self.app.terminate()
        self.app.wait(20)
        self.bus.terminate()
        self.bus.wait(10)
        if keep:
            print("kept %s (the application's output is in tarnwick.log)" % self.root)
        else:
            shutil.rmtree(self.root, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tarnwick")
    parser.add_argument("folder")
    parser.add_argument("--panels", type=int, default=1000)
    parser.add_argument("--query-every", type=int, default=10)
    parser.add_argument("--query", default="report")
    parser.add_argument("--quiet-seconds", type=float, default=3.0)
    parser.add_argument("--trim-probe", action="store_true",
                        help="at each checkpoint also the resident memory after malloc_trim(0),"
                             " called through gdb: what the allocator keeps but nothing holds")
    parser.add_argument("--heaptrack", metavar="FILE",
                        help="trace allocations with heaptrack from panel 10 on and end the"
                             " application with SIGKILL, so that what it still holds at the end"
                             " shows as leaked (the last panel is held until the next opens)")
    options = parser.parse_args()
    soak = Soak(options.tarnwick, options.folder, "/var/tmp/tarnwick-soak-%d" % os.getpid())
    checkpoints = {10, 100, options.panels}
    started = time.monotonic()
    finished = False
    try:
        for n in range(1, options.panels + 1):
            soak.open_and_close(options.query if n % options.query_every == 0 else None)
            if n in checkpoints:
                time.sleep(options.quiet_seconds)
                rss, fds, threads = soak.figures()
                print("after %4d panels: rss %7.1f MB  fds %3d  threads %2d  (%.0f s)"
                      % (n, rss / 1024, fds, threads, time.monotonic() - started), flush=True)
                print("      threads: " + soak.thread_names(), flush=True)
                if options.trim_probe:
                    heap = soak.heap()
                    print("      heap in use %.1f MB, free in the allocator %.1f MB"
                          % (heap["in_use"] / 2**20, heap["free"] / 2**20), flush=True)
                    run("gdb", "-p", str(soak.app.pid), "-batch", "-ex",
                        "call (int) malloc_trim(0)", check=False)
                    print("      after malloc_trim: rss %7.1f MB" % (soak.figures()[0] / 1024),
                          flush=True)
            if n == 10 and options.heaptrack:
                subprocess.Popen(["heaptrack", "-o", options.heaptrack, "-p", str(soak.app.pid)])
                time.sleep(15)
            if n % 50 == 0 and n not in checkpoints:
                print("  %4d: rss %.1f MB" % (n, soak.figures()[0] / 1024), flush=True)
        closed = soak.cpu_ticks()
        time.sleep(2)
        two = soak.cpu_ticks()
        time.sleep(2)
        four = soak.cpu_ticks()
        print("cpu after the last close: %.1f %% in 0-2 s, %.1f %% in 2-4 s"
              % (100 * (two - closed) / TICKS / 2, 100 * (four - two) / TICKS / 2), flush=True)
        finished = True
        if options.heaptrack:
            time.sleep(2)
            soak.app.kill()
    finally:
        soak.end(keep=not finished)


if __name__ == "__main__":
    main()
