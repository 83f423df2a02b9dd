// GNOME Shell 43 and 44: the extension in the format of imports.
const {Gio, GLib, Meta, Shell} = imports.gi;
const Main = imports.ui.main;
const ExtensionUtils = imports.misc.extensionUtils;
const Me = ExtensionUtils.getCurrentExtension();

let service = null;

function init() {}

function enable() {
    service = new Me.imports.service.TarnwickShellService({Gio, GLib, Meta, Shell, Main},
        ExtensionUtils.getSettings());
    service.enable();
}

function disable() {
    service.disable();
    service = null;
}
