// The tests' own eyes in GNOME Shell (which locks its Eval): the windows as the shell has
// them, independent of Tarnwick's extension, on the session bus as org.tarnwick.TestObserver.
const {Gio} = imports.gi;
const Main = imports.ui.main;

const XML = `<node><interface name="org.tarnwick.TestObserver">
  <method name="Windows"><arg type="s" direction="out"/></method>
  <method name="ShellState"><arg type="s" direction="out"/></method>
</interface></node>`;

let exported = null;
let nameId = 0;

function init() {}

function enable() {
    exported = Gio.DBusExportedObject.wrapJSObject(XML, {
        // "starting" until the start-up animation is over, then "overview" or "desktop".
        ShellState() {
            if (Main.layoutManager._startingUp)
                return 'starting';
            return Main.overview.visible ? 'overview' : 'desktop';
        },
        Windows() {
            const focus = global.display.focus_window;
            return JSON.stringify(global.get_window_actors().map(a => a.meta_window).map(w => {
                const r = w.get_frame_rect();
                return {title: w.get_title(), pid: w.get_pid(), focused: w === focus,
                    above: w.is_above(), rect: [r.x, r.y, r.width, r.height]};
            }));
        },
    });
    exported.export(Gio.DBus.session, '/org/tarnwick/TestObserver');
    nameId = Gio.bus_own_name_on_connection(Gio.DBus.session, 'org.tarnwick.TestObserver',
        Gio.BusNameOwnerFlags.NONE, null, null);
}

function disable() {
    Gio.bus_unown_name(nameId);
    exported.unexport();
}
