#!/usr/bin/env bash
# Runs a command against a private X server: a virtual-framebuffer server on a free display,
# optionally with a window manager, both stopped afterwards whatever the command did.
#
#   scripts/with-x-server.sh [--window-manager openbox|none] command [arguments...]
#
# The command sees DISPLAY and TALLYWICK_X11_WM (the manager's name or "none"). Anything
# missing makes this fail loudly; it never falls back to running without a server.
set -euo pipefail

window_manager=none
if [[ ${1:-} == --window-manager ]]; then
    window_manager=$2
    shift 2
fi
if (($# == 0)); then
    echo "usage: $0 [--window-manager openbox|none] command [arguments...]" >&2
    exit 2
fi
case $window_manager in
openbox | none) ;;
*)
    echo "$0: unknown window manager \"$window_manager\"" >&2
    exit 2
    ;;
esac
for tool in Xvfb xprop $([[ $window_manager == none ]] || echo "$window_manager"); do
    if ! command -v "$tool" >/dev/null; then
        echo "$0: $tool is not installed (scripts/setup-debian.sh installs it)" >&2
        exit 1
    fi
done

work=$(mktemp -d)
server_pid=
manager_pid=
# Stops one child and waits for it. A child that ends by the signal makes `wait` fail, which
# is the expected end here: it must neither stop the clean-up nor change the exit status.
stop() {
    if [[ -n $1 ]] && kill "$1" 2>/dev/null; then
        wait "$1" 2>/dev/null || true
    fi
}
cleanup() {
    local status=$?
    stop "$manager_pid"
    stop "$server_pid"
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

# The server picks a free display itself and writes its number to the descriptor.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" \
    2>"$work/server.log" &
server_pid=$!
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    if ! kill -0 "$server_pid" 2>/dev/null; then
        echo "$0: the X server did not start:" >&2
        cat "$work/server.log" >&2
        exit 1
    fi
    sleep 0.1
done
if [[ ! -s $work/display ]]; then
    echo "$0: the X server gave no display number within 10 seconds" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"
export TALLYWICK_X11_WM=$window_manager

# The first X program on a fresh machine builds the font cache, for seconds; a window
# manager doing that while it starts loses windows mapped meanwhile. Build it first (quick
# when it is there already; it writes under the user's own cache folder when not root).
if command -v fc-cache >/dev/null; then
    fc-cache
fi

# Ready means the manager has announced itself on the root window (its EWMH check window),
# not that some time has passed: on a fresh machine its first start can take seconds.
manager_ready() {
    [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id #"* ]]
}
if [[ $window_manager == openbox ]]; then
    openbox --sm-disable >"$work/manager.log" 2>&1 &
    manager_pid=$!
    for _ in $(seq 600); do
        manager_ready && break
        if ! kill -0 "$manager_pid" 2>/dev/null; then
            break
        fi
        sleep 0.1
    done
    if ! manager_ready; then
        echo "$0: $window_manager did not take over the display within 60 seconds:" >&2
        cat "$work/manager.log" >&2
        exit 1
    fi
fi

status=0
"$@" || status=$?
if ((status != 0)) && [[ -s $work/manager.log ]]; then
    echo "--- window manager log ---" >&2
    cat "$work/manager.log" >&2
fi
exit $status
