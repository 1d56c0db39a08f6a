// Closes one window as its close button would, asked by Tallywick, which writes the window's
// id in place of @WINDOW@. A script of its own, run once: KWin lets a script be called only
// through the buses it calls out on, never from outside.
const Target = "@WINDOW@";
const windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
windows.forEach(function (window) {
    if (String(window.internalId) === Target) {
        window.closeWindow();
    }
});
