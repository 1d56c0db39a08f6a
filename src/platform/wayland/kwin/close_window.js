// Closes one window as its close button would, asked by Tallywick, which writes the window's
// id in place of @WINDOW@ and its own address in place of @SERVICE@. A script of its own, run
// once: KWin offers no way to call into a running script. It says when it has run, because
// KWin runs a script after it answers that it will.
const Target = "@WINDOW@";
const windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
windows.forEach(function (window) {
    if (String(window.internalId) === Target) {
        window.closeWindow();
    }
});
callDBus("@SERVICE@", "/app/tallywick/KWinWindows", "app.tallywick.KWinWindows", "Ran", Target);
