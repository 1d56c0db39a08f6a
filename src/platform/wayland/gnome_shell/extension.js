'use strict';
// Tells Tallywick which window has the focus, which windows there are, and closes the ones it
// asks to close: on Wayland only the shell knows other programs' windows, and the shell's own
// interfaces for them are closed to other programs. It stays on while the screen is locked
// ("unlock-dialog" in metadata.json), so that Tallywick hears the lock as no window in front
// rather than as its extension gone.
//
// Whatever it answers, it answers only Tallywick: any program of the session can call on the
// bus, and the shell's own interfaces keep exactly this from them. The caller's executable
// must be the one named in the file "executable" beside this one, which the package writes
// for the installed program and a copy of Tallywick writes for itself where it installed the
// extension.

const { Gio, GLib, Meta } = imports.gi;
const ExtensionUtils = imports.misc.extensionUtils;
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
const AccessDenied = 'org.freedesktop.DBus.Error.AccessDenied';

// The lock screen keeps the window under it focused, and the shield goes up before the
// session mode changes: either means the person's windows are not to be told of.
function isLocked() {
    const shield = Main.screenShield;
    return Main.sessionMode.isLocked || (shield && (shield.locked || shield.active));
}

function describe(window, withTitle) {
    return [window.get_id(), window.get_pid(), withTitle ? window.get_title() || '' : '',
        window.get_wm_class() || ''];
}

// Read at every call, so that a copy of Tallywick that writes its path after the shell started
// is served at once, and a path taken away is refused at once.
function allowedExecutable() {
    try {
        const file = GLib.build_filenamev([ExtensionUtils.getCurrentExtension().path, 'executable']);
        const [, contents] = GLib.file_get_contents(file);
        return new TextDecoder().decode(contents).trim();
    } catch (e) {
        return '';
    }
}

// A program replaced on disk while it runs (an update) reads as "PATH (deleted)".
function isAllowed(executable, allowed) {
    return allowed.startsWith('/') &&
        (executable === allowed || executable === `${allowed} (deleted)`);
}

// Calls answer(...) when the caller is Tallywick, else refuses the call.
function whenTallywick(invocation, answer) {
    const connection = invocation.get_connection();
    connection.call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
        'GetConnectionUnixProcessID', new GLib.Variant('(s)', [invocation.get_sender()]),
        new GLib.VariantType('(u)'), Gio.DBusCallFlags.NONE, -1, null, (bus, result) => {
            let executable = '';
            try {
                const [pid] = bus.call_finish(result).deepUnpack();
                executable = GLib.file_read_link(`/proc/${pid}/exe`);
            } catch (e) {
                // A caller gone or not ours to look at is no caller we serve.
            }
            const allowed = allowedExecutable();
            if (!isAllowed(executable, allowed)) {
                invocation.return_dbus_error(AccessDenied,
                    allowed ? `only ${allowed} may ask for the windows`
                        : 'no program may ask for the windows: the extension has no "executable" file');
                return;
            }
            try {
                answer();
            } catch (e) {
                invocation.return_dbus_error('org.freedesktop.DBus.Error.Failed', String(e));
            }
        });
}

// The Async forms are the ones handed the invocation, which tells who called.
class Windows {
    GetAsync(params, invocation) {
        whenTallywick(invocation, () => {
            const window = global.display.focus_window;
            const answer = !window || isLocked() ? [0, 0, '', ''] : describe(window, true);
            invocation.return_value(new GLib.Variant('(tiss)', answer));
        });
    }

    ListAsync(params, invocation) {
        whenTallywick(invocation, () => {
            const withTitles = !isLocked();
            const windows = global.display.get_tab_list(Meta.TabList.NORMAL_ALL, null)
                .map(window => describe(window, withTitles));
            invocation.return_value(new GLib.Variant('(a(tiss))', [windows]));
        });
    }

    CloseAsync([id], invocation) {
        whenTallywick(invocation, () => {
            const window = global.display.list_all_windows().find(w => w.get_id() === id);
            if (window) {
                window.delete(global.get_current_time());
            }
            invocation.return_value(new GLib.Variant('(b)', [Boolean(window)]));
        });
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
