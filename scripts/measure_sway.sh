#!/usr/bin/env bash
# Measures the Wayland desktop on a headless sway, on the CPU: the compositor's start (until
# its IPC answers) and its memory, then one scan cycle with a listed Qt Wayland client in
# front (bench/scan_cycle_bench on the sway backend). Run it as root: sway refuses root, so
# sway and everything in it run as the user the tests use (scripts/setup-debian.sh test).
#
#   scripts/measure_sway.sh [build folder]    (default build-rel, configured with
#                                              -DTALLYWICK_BENCH=ON)
set -euo pipefail
build=${1:-build-rel}
user=tallywick-test
for program in "$build/bench/scan_cycle_bench" "$build/tests/wayland_test_client"; do
    if [[ ! -x $program ]]; then
        echo "$0: $program is not built (targets scan_cycle_bench wayland_test_client)" >&2
        exit 1
    fi
done
if ! id -u "$user" >/dev/null 2>&1; then
    echo "$0: no user $user: run scripts/setup-debian.sh test as root" >&2
    exit 1
fi
bench=$(realpath "$build/bench/scan_cycle_bench")
client=$(realpath "$build/tests/wayland_test_client")

runtime=$(mktemp -d)
chown "$user:" "$runtime"
chmod 700 "$runtime"
printf 'xwayland enable\noutput HEADLESS-1 resolution 1280x800\n' >"$runtime/config"
# setpriv and env each replace themselves: the process started is the program's own.
as_user=(setpriv --reuid="$user" --regid="$user" --clear-groups -- env -i PATH=/usr/bin:/bin
    HOME="$runtime" XDG_RUNTIME_DIR="$runtime")

started=$(date +%s%N)
"${as_user[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$runtime/config" 2>"$runtime/sway.log" &
sway=$!
trap 'kill $sway 2>/dev/null; wait $sway 2>/dev/null; rm -rf "$runtime"' EXIT
socket=
until [[ -n $socket ]] && swaymsg -s "$socket" -t get_version >/dev/null 2>&1; do
    if ! kill -0 "$sway" 2>/dev/null; then
        echo "$0: sway did not start:" >&2
        cat "$runtime/sway.log" >&2
        exit 1
    fi
    sleep 0.01
    socket=$(find "$runtime" -maxdepth 1 -name 'sway-ipc.*.sock' | head -n1)
done
echo "sway answered on its IPC after $((($(date +%s%N) - started) / 1000000)) ms;" \
    "resident memory $(awk '/VmRSS/ {print $2, $3}' "/proc/$sway/status")"

# Answering costs sway CPU time of its own, outside the program's.
sway_ticks() { awk '{print $14 + $15}' "/proc/$sway/stat"; }
ticks_before=$(sway_ticks)
display=$(find "$runtime" -maxdepth 1 -name 'wayland-*' ! -name '*.lock' -printf '%f\n' | head -n1)
"${as_user[@]}" SWAYSOCK="$socket" WAYLAND_DISPLAY="$display" XDG_SESSION_TYPE=wayland \
    QT_QPA_PLATFORM=wayland "$bench" "$client" "Measured on sway"
echo "sway's CPU for the cycles: $(($(sway_ticks) - ticks_before)) ticks of" \
    "1/$(getconf CLK_TCK) s (the client's start included)"
echo "sway's resident memory after the cycles: $(awk '/VmRSS/ {print $2, $3}' "/proc/$sway/status")"
