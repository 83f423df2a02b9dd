// GNOME Shell 45 and later: the extension as an ES module.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import Shell from 'gi://Shell';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

import {TarnwickShellService} from './service.js';

export default class TarnwickExtension extends Extension {
    enable() {
        this._service = new TarnwickShellService({Gio, GLib, Meta, Shell, Main},
            this.getSettings());
        this._service.enable();
    }

    disable() {
        this._service.disable();
        this._service = null;
    }
}
