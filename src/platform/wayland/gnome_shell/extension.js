'use strict';
// Tells Tallywick which window has the focus, which windows there are, and closes the ones it
// asks to close: on Wayland only the shell knows other programs' windows, and the shell's own
// interfaces for them are closed to other programs. It stays on while the screen is locked
// ("unlock-dialog" in metadata.json), so that Tallywick hears the lock as no window in front
// rather than as its extension gone.

const { Gio, Meta } = imports.gi;
const Main = imports.ui.main;

const ObjectPath = '/app/tallywick/Windows';
const InterfaceXml = `
<node>
  <interface name="app.tallywick.Windows">
    <method name="Get">
      <arg type="t" name="id" direction="out"/>
      <arg type="i" name="pid" direction="out"/>
      <arg type="s" name="title" direction="out"/>
      <arg type="s" name="class" direction="out"/>
    </method>
    <method name="List">
      <arg type="a(tiss)" name="windows" direction="out"/>
    </method>
    <method name="Close">
      <arg type="t" name="id" direction="in"/>
      <arg type="b" name="found" direction="out"/>
    </method>
    <signal name="FocusChanged"/>
  </interface>
</node>`;

function describe(window) {
    return [window.get_id(), window.get_pid(), window.get_title() || '', window.get_wm_class() || ''];
}

class Windows {
    Get() {
        const window = global.display.focus_window;
        // The window under the lock screen keeps the focus there.
        if (!window || Main.sessionMode.isLocked) {
            return [0, 0, '', ''];
        }
        return describe(window);
    }

    List() {
        return global.display.get_tab_list(Meta.TabList.NORMAL_ALL, null).map(describe);
    }

    Close(id) {
        const window = global.display.list_all_windows().find(w => w.get_id() === id);
        if (!window) {
            return false;
        }
        window.delete(global.get_current_time());
        return true;
    }
}

class Extension {
    enable() {
        this._object = Gio.DBusExportedObject.wrapJSObject(InterfaceXml, new Windows());
        this._object.export(Gio.DBus.session, ObjectPath);
        this._focusSignal = global.display.connect('notify::focus-window', () => this._focusChanged());
        this._modeSignal = Main.sessionMode.connect('updated', () => this._announce());
        this._focusChanged();
    }

    disable() {
        this._watchTitle(null);
        global.display.disconnect(this._focusSignal);
        Main.sessionMode.disconnect(this._modeSignal);
        this._object.unexport();
        this._object = null;
    }

    // A new title of the window in front can be a new page or document: announced as well.
    _focusChanged() {
        this._watchTitle(global.display.focus_window);
        this._announce();
    }

    _watchTitle(window) {
        if (this._titleWindow) {
            this._titleWindow.disconnect(this._titleSignal);
        }
        this._titleWindow = window;
        if (window) {
            this._titleSignal = window.connect('notify::title', () => this._announce());
        }
    }

    _announce() {
        this._object.emit_signal('FocusChanged', null);
    }
}

function init() {
    return new Extension();
}
