// What the extension does for Tarnwick inside GNOME Shell, written once for both extension
// formats: no imports here, the shell's modules come in through `shell`. The build turns each
// `export` into a plain declaration for the format of GNOME Shell 43 and 44.
//
// On the session bus as org.tarnwick.GnomeShell: the window stack with what GTK tells the shell
// of each window (Wayland clients see none of the others' windows), the panel's placement, and a
// status for whoever checks on it. The search shortcut is bound here and calls Tarnwick over the
// bus, so a press starts no process.

export const BUS_NAME = 'org.tarnwick.GnomeShell';
export const OBJECT_PATH = '/org/tarnwick/GnomeShell';
const TARNWICK_NAME = 'org.tarnwick.Tarnwick';
const TARNWICK_PATH = '/org/tarnwick/Tarnwick';
const SHORTCUT_KEY = 'search-shortcut';
// How long a placement request waits for its window to appear.
const PLACEMENT_WAIT_MS = 3000;
// For this long after the panel is adopted a move that is not ours is the shell's own placement
// of a new window (it may map the window before it runs our placement), never the user's.
const SETTLE_MS = 1000;
// The panel opens this high, its bottom edge this far above the middle of the work area.
const OPENING_HEIGHT = 120;
const RISE_ABOVE_MIDDLE = 100;

const INTERFACE_XML = `<node>
  <interface name="org.tarnwick.GnomeShell">
    <method name="WindowStack"><arg type="s" direction="out" name="windows"/></method>
    <method name="PlacePanel">
      <arg type="u" direction="in" name="pid"/>
      <arg type="s" direction="in" name="title"/>
      <arg type="a{sv}" direction="in" name="options"/>
    </method>
    <method name="SetShortcut">
      <arg type="as" direction="in" name="accelerators"/>
      <arg type="b" direction="out" name="bound"/>
    </method>
    <method name="Status"><arg type="s" direction="out" name="status"/></method>
  </interface>
</node>`;

// Where the panel goes on `workArea` ({x, y, width, height}): centred across, its bottom edge
// `rise` above the middle at `openingHeight`; a taller panel keeps that top edge and grows
// downward, moving up only as far as the bottom of the area demands. `size` is the visible
// panel's {width, height}.
export function panelRect(workArea, size, rise, openingHeight) {
    const height = Math.min(size.height, workArea.height);
    const x = workArea.x + Math.floor(workArea.width / 2) - Math.floor(size.width / 2);
    let y = workArea.y + Math.floor(workArea.height / 2) - rise - openingHeight;
    return {x, y: keptInside(y, height, workArea), width: size.width, height};
}

// A top edge moved up just enough that `height` ends inside `workArea`, never above its top.
export function keptInside(y, height, workArea) {
    const overshoot = y + height - (workArea.y + workArea.height);
    return overshoot > 0 ? Math.max(workArea.y, y - overshoot) : y;
}

function rectOf(r) {
    return {x: r.x, y: r.y, width: r.width, height: r.height};
}

export class TarnwickShellService {
    // `shell`: {Gio, GLib, Meta, Shell, Main}; `settings`: the extension's own GSettings.
    constructor(shell, settings) {
        this._s = shell;
        this._settings = settings;
        this._panel = null;     // {window, pid, title, margin, rise, openingHeight, signals}
        this._pending = null;   // a placement whose window has not appeared yet
        this._timings = {};
        this._pressedAt = 0;
        this._created = new WeakMap();  // window -> {created, firstFrame} after a press
        this._adopted = new WeakSet();  // every window placed so far: a closed panel's lingers
    }

    enable() {
        const {Gio, Meta, Shell, Main} = this._s;
        this._dbus = Gio.DBusExportedObject.wrapJSObject(INTERFACE_XML, this);
        this._dbus.export(Gio.DBus.session, OBJECT_PATH);
        this._nameId = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);
        this._bindShortcut();
        this._createdId = global.display.connect('window-created',
            (_display, window) => this._windowCreated(window));
    }

    disable() {
        const {Gio, GLib, Main} = this._s;
        Main.wm.removeKeybinding(SHORTCUT_KEY);
        global.display.disconnect(this._createdId);
        this._forgetPanel();
        if (this._pending) GLib.source_remove(this._pending.timeout);
        this._pending = null;
        Gio.bus_unown_name(this._nameId);
        this._dbus.unexport();
        this._dbus = null;
    }

    // --- D-Bus methods -----------------------------------------------------------------------

    // The normal windows, top first, as JSON.
    WindowStack() {
        const {Meta} = this._s;
        const workspace = global.workspace_manager.get_active_workspace();
        const focus = global.display.focus_window;
        const windows = global.display.sort_windows_by_stacking(
            global.get_window_actors().map(actor => actor.meta_window)
                .filter(w => w && w.get_window_type() === Meta.WindowType.NORMAL));
        return JSON.stringify(windows.reverse().map(w => ({
            title: w.get_title() || '',
            wmClass: w.get_wm_class() || '',
            wmClassInstance: w.get_wm_class_instance() || '',
            appId: w.get_gtk_application_id() || '',
            sandboxedAppId: w.get_sandboxed_app_id ? w.get_sandboxed_app_id() || '' : '',
            pid: w.get_pid(),
            gtkObjectPath: w.get_gtk_window_object_path() || '',
            gtkUniqueBusName: w.get_gtk_unique_bus_name() || '',
            minimized: w.minimized,
            onWorkspace: w.located_on_workspace(workspace),
            focused: w === focus,
            rect: rectOf(w.get_frame_rect()),
        })));
    }

    // Places the window of `pid` titled `title` when it appears (or now, when it is there).
    // Options: margin (the transparent border around the visible panel), and rise and
    // openingHeight when the rule's numbers differ from the usual ones.
    PlacePanel(pid, title, options) {
        const {GLib} = this._s;
        const number = (key, fallback) => (options[key] ? options[key].deep_unpack() : fallback);
        const request = {pid, title, margin: number('margin', 0),
            rise: number('rise', RISE_ABOVE_MIDDLE),
            openingHeight: number('openingHeight', OPENING_HEIGHT)};
        if (this._pending) GLib.source_remove(this._pending.timeout);
        this._pending = null;
        const window = this._findWindow(pid, title);
        if (window) return this._adopt(window, request);
        request.timeout = GLib.timeout_add(GLib.PRIORITY_DEFAULT, PLACEMENT_WAIT_MS, () => {
            this._pending = null;
            return GLib.SOURCE_REMOVE;
        });
        this._pending = request;
    }

    // Replaces the shortcut's keys (none: unbound); false when the shell refuses them.
    SetShortcut(accelerators) {
        this._s.Main.wm.removeKeybinding(SHORTCUT_KEY);
        this._settings.set_strv(SHORTCUT_KEY, accelerators);
        return accelerators.length === 0 || this._bindShortcut();
    }

    Status() {
        const panel = this._panel;
        const status = {version: 1, timings: this._timings, panel: null};
        if (panel && panel.window.get_compositor_private()) {
            const w = panel.window;
            status.panel = {
                rect: this._visibleRect(panel),
                workArea: rectOf(this._workArea(w.get_monitor())),
                monitor: w.get_monitor(),
                above: w.is_above(),
                focused: w === global.display.focus_window,
            };
        }
        return JSON.stringify(status);
    }

    // --- the shortcut ----------------------------------------------------------------------

    _bindShortcut() {
        const {Meta, Shell, Main} = this._s;
        const action = Main.wm.addKeybinding(SHORTCUT_KEY, this._settings,
            Meta.KeyBindingFlags.NONE, Shell.ActionMode.NORMAL | Shell.ActionMode.OVERVIEW,
            () => this._shortcutPressed());
        return action !== Meta.KeyBindingAction.NONE;
    }

    _shortcutPressed() {
        const {Gio, GLib} = this._s;
        this._pressedAt = GLib.get_monotonic_time();
        this._timings = {};
        const parameters = new GLib.Variant('(sava{sv})', ['activate-search', [], {}]);
        Gio.DBus.session.call(TARNWICK_NAME, TARNWICK_PATH, 'org.freedesktop.Application',
            'ActivateAction', parameters, null, Gio.DBusCallFlags.NO_AUTO_START, 5000, null,
            (bus, result) => {
                try {
                    bus.call_finish(result);
                } catch (e) {
                    this._startTarnwick(e);
                }
            });
    }

    // Tarnwick is not running (or not answering): start it the way a custom keybinding would.
    _startTarnwick(error) {
        const {GLib} = this._s;
        const program = GLib.find_program_in_path('tarnwick');
        if (!program) {
            log(`Tarnwick: the search shortcut found no running Tarnwick (${error.message})`);
            return;
        }
        GLib.spawn_async(null, [program, '--activate'], null, GLib.SpawnFlags.DEFAULT, null);
    }

    // --- placement -------------------------------------------------------------------------

    _findWindow(pid, title) {
        const actors = global.get_window_actors();
        for (let i = actors.length - 1; i >= 0; --i) {
            const w = actors[i].meta_window;
            if (w && w.get_pid() === pid && w.get_title() === title && !this._adopted.has(w))
                return w;
        }
        return null;
    }

    _windowCreated(window) {
        const {GLib} = this._s;
        if (this._pressedAt) this._noteTimes(window, GLib.get_monotonic_time());
        const request = this._pending;
        if (!request || window.get_pid() !== request.pid) return;
        // A Wayland client may name its window only after the shell sees it.
        const check = () => {
            if (this._pending !== request || window.get_title() !== request.title) return;
            GLib.source_remove(request.timeout);
            this._pending = null;
            this._adopt(window, request);
        };
        check();
        if (this._pending === request) {
            const id = window.connect('notify::title', () => {
                window.disconnect(id);
                check();
            });
        }
    }

    _noteTimes(window, now) {
        const times = {created: now};
        this._created.set(window, times);
        const actor = window.get_compositor_private();
        if (!actor) return;
        const id = actor.connect('first-frame', () => {
            actor.disconnect(id);
            times.firstFrame = this._s.GLib.get_monotonic_time();
            this._recordTimings(window);
        });
    }

    _recordTimings(window) {
        const times = this._created.get(window);
        if (!this._panel || this._panel.window !== window || !times || !this._pressedAt) return;
        const ms = t => (t ? Math.round((t - this._pressedAt) / 100) / 10 : null);
        this._timings = {
            pressToWindowMs: ms(times.created),
            pressToFirstFrameMs: ms(times.firstFrame),
            pressToPlacedMs: ms(this._panel.placedAt),
        };
    }

    _adopt(window, request) {
        const {GLib, Main} = this._s;
        this._forgetPanel();
        this._adopted.add(window);
        const panel = Object.assign({window, signals: []}, request);
        this._panel = panel;
        const follow = (signal, handler) => panel.signals.push([window, window.connect(signal, handler)]);
        follow('size-changed', () => (panel.placed ? this._keepInside(panel) : this._place(panel)));
        follow('unmanaged', () => this._forgetPanel());
        panel.settleUntil = GLib.get_monotonic_time() + SETTLE_MS * 1000;
        follow('position-changed', () => {
            if (!panel.placed || GLib.get_monotonic_time() > panel.settleUntil) return;
            const frame = window.get_frame_rect();
            if (frame.x !== panel.target.x || frame.y !== panel.target.y) this._place(panel);
        });
        // The shell places a new window when it is first shown: place it again then.
        const shown = window.connect('shown', () => {
            window.disconnect(shown);
            panel.signals = panel.signals.filter(([, id]) => id !== shown);
            this._place(panel);
        });
        panel.signals.push([window, shown]);
        this._place(panel);
        window.make_above();
        Main.activateWindow(window);
        panel.placedAt = GLib.get_monotonic_time();
        this._recordTimings(window);
    }

    _forgetPanel() {
        if (!this._panel) return;
        for (const [object, id] of this._panel.signals) object.disconnect(id);
        this._panel = null;
    }

    _workArea(monitor) {
        return this._s.Main.layoutManager.getWorkAreaForMonitor(monitor);
    }

    _visibleRect(panel) {
        const frame = panel.window.get_frame_rect();
        const m = panel.margin;
        return {x: frame.x + m, y: frame.y + m, width: frame.width - 2 * m,
            height: frame.height - 2 * m};
    }

    // Before its first buffer a window has no size yet: placed when it gets one.
    _place(panel) {
        const visible = this._visibleRect(panel);
        if (visible.width <= 0 || visible.height <= 0) return;
        const monitor = global.display.get_current_monitor();
        const workArea = rectOf(this._workArea(monitor));
        const rect = panelRect(workArea, visible, panel.rise, panel.openingHeight);
        panel.workArea = workArea;
        panel.placed = true;
        panel.target = {x: rect.x - panel.margin, y: rect.y - panel.margin};
        panel.window.move_frame(true, panel.target.x, panel.target.y);
    }

    // The panel grows downward from where it opened, but never past the work area's bottom.
    _keepInside(panel) {
        if (!panel.workArea) return;
        const visible = this._visibleRect(panel);
        const y = keptInside(visible.y, Math.min(visible.height, panel.workArea.height),
            panel.workArea);
        if (y === visible.y) return;
        panel.target = {x: visible.x - panel.margin, y: y - panel.margin};
        panel.window.move_frame(true, panel.target.x, panel.target.y);
    }
}
