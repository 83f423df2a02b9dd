#!/usr/bin/python3
"""Asks a running KWin (5 or 6) for its windows through a script of ours and prints them as JSON:
{"area": usable area of the screen under the pointer, "windows": [{caption, resourceClass, pid,
active, keepAbove, x, y, width, height}]}. Exits 1 when KWin does not answer."""
import json, os, sys, tempfile
from gi.repository import Gio, GLib

NAME = "org.tarnwick.test.KWinWindows"
SCRIPT = """
var list = workspace.windowList ? workspace.windowList() : workspace.clientList();
var active = workspace.activeWindow || workspace.activeClient;
var a = workspace.clientArea(KWin.MaximizeArea, workspace.screenAt(workspace.cursorPos),
                             workspace.currentDesktop);
var out = {area: {x: a.x, y: a.y, width: a.width, height: a.height}, windows: []};
for (var i = 0; i < list.length; ++i) {
    var w = list[i], g = w.frameGeometry;
    out.windows.push({caption: String(w.caption), resourceClass: String(w.resourceClass),
                      pid: w.pid, active: w === active, keepAbove: !!w.keepAbove,
                      x: g.x, y: g.y, width: g.width, height: g.height});
}
callDBus("%s", "/", "%s", "report", JSON.stringify(out));
""" % (NAME, NAME)
XML = f"<node><interface name='{NAME}'><method name='report'><arg type='s' direction='in'/></method></interface></node>"

bus = Gio.bus_get_sync(Gio.BusType.SESSION)
loop, result = GLib.MainLoop(), {}
def on_call(conn, sender, path, iface, method, params, invocation):
    result["report"] = json.loads(params.unpack()[0]); invocation.return_value(None); loop.quit()
bus.register_object("/", Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0], on_call)
Gio.bus_own_name_on_connection(bus, NAME, Gio.BusNameOwnerFlags.NONE, None, None)
def call(path, iface, method, args, signature):
    return bus.call_sync("org.kde.KWin", path, iface, method, args,
                         GLib.VariantType(signature) if signature else None,
                         Gio.DBusCallFlags.NONE, 5000, None)
with tempfile.NamedTemporaryFile("w", suffix=".js", delete=False) as f: f.write(SCRIPT)
plugin = "tarnwick-test-windows-%d" % os.getpid()
call("/Scripting", "org.kde.kwin.Scripting", "loadScript", GLib.Variant("(ss)", (f.name, plugin)), "(i)")
# Not the script's own run: the number KWin gives it can be that of a script still loaded (the
# panel's), and run then reaches that one. start runs every loaded script not yet running.
call("/Scripting", "org.kde.kwin.Scripting", "start", None, None)
GLib.timeout_add(5000, loop.quit); loop.run()
call("/Scripting", "org.kde.kwin.Scripting", "unloadScript", GLib.Variant("(s)", (plugin,)), "(b)")
os.unlink(f.name)
print(json.dumps(result.get("report")))
sys.exit(0 if "report" in result else 1)
