// Tells Tallywick which windows there are and which one has the focus: on Wayland only the
// compositor knows other programs' windows. Tallywick writes its own address on the session
// bus in place of @SERVICE@ before it loads this, so that every copy of it running (the
// program, the probe) hears its own reports.
const Service = "@SERVICE@";
const Path = "/app/tallywick/KWinWindows";
const Interface = "app.tallywick.KWinWindows";

// Everything goes as text: numbers would reach the bus as whatever type the script engine
// chose for them.
function report(window) {
    callDBus(Service, Path, Interface, "Window", String(window.internalId), String(window.pid),
             String(window.caption), String(window.resourceClass));
}

function watch(window) {
    if (!window) {
        return;
    }
    window.captionChanged.connect(function () { report(window); });
    report(window);
}

function activated(window) {
    callDBus(Service, Path, Interface, "Activated", window ? String(window.internalId) : "");
}

// Plasma 6 renamed the "client" calls to "window" ones.
const windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
windows.forEach(watch);
activated(workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient);
(workspace.windowAdded || workspace.clientAdded).connect(watch);
(workspace.windowRemoved || workspace.clientRemoved).connect(function (window) {
    callDBus(Service, Path, Interface, "Removed", String(window.internalId));
});
(workspace.windowActivated || workspace.clientActivated).connect(activated);
