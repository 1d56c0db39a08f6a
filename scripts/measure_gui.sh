#!/usr/bin/env bash
# Measures the program as a user runs it: the time from starting it to its tray icon, its
# resident memory after a minute idle, and the CPU it uses while idle.
#
#   scripts/measure_gui.sh [program] [memory-idle-seconds] [cpu-idle-seconds]
#
# With TALLYWICK_MEASURE_ACTIVITY_DB naming a database file, the later start runs on a copy
# of it.
#
# Defaults: build-rel/bin/tallywick (built here in Release when missing), 60 and 300 seconds.
# It runs on a private virtual display with openbox and a small tray (trayer), with a data
# folder of its own, so the user's settings are never touched. It measures; it does not
# judge: the figures are printed for the person reading them.
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-build-rel/bin/tallywick}
memory_idle=${2:-60}
cpu_idle=${3:-300}

if [[ -z ${TALLYWICK_MEASURE_ON_DISPLAY:-} ]]; then
    scripts/setup-debian.sh measure
    if [[ ! -x $program ]]; then
        cmake -S . -B build-rel -DCMAKE_BUILD_TYPE=Release -DTALLYWICK_TESTS=OFF \
            -DTALLYWICK_BENCH=OFF >/dev/null
        cmake --build build-rel -j"${JOBS:-2}" --target tallywick >/dev/null
    fi
    export TALLYWICK_MEASURE_ON_DISPLAY=1
    exec scripts/with-x-server.sh --window-manager openbox "$0" "$program" "$memory_idle" \
        "$cpu_idle"
fi

work=$(mktemp -d)
tray_pid=
program_pid=
cleanup() {
    local status=$?
    [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null || true
    [[ -n $tray_pid ]] && kill "$tray_pid" 2>/dev/null && wait "$tray_pid" 2>/dev/null || true
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

trayer --edge bottom --align right --widthtype pixel --width 120 --height 24 \
    >"$work/trayer.log" 2>&1 &
tray_pid=$!
for _ in $(seq 100); do
    [[ $(xwininfo -root -tree 2>/dev/null) == *'"panel": ("panel" "trayer")'* ]] && break
    sleep 0.05
done

# The tray embeds the program's 22 x 22 icon window, named as the program. (Not a pipe into
# grep -q: with pipefail its early exit would fail the pipe and hide a found icon.)
icon_shown() {
    [[ $(xwininfo -root -tree 2>/dev/null) == *'"Tallywick": ("tallywick" "Tallywick")  22x22'* ]]
}

export XDG_DATA_HOME=$work/home
mkdir -p "$XDG_DATA_HOME"
# The settings wizard that the very first start shows before anything else.
wizard_shown() {
    [[ $(xwininfo -root -tree 2>/dev/null) == *'"Settings'*'("tallywick" "Tallywick")  480x440'* ]]
}

# Sets start_ms to the time since `start` until the check holds.
wait_for() {
    local check=$1 what=$2 shown=
    for _ in $(seq 1000); do
        if $check; then
            shown=$(date +%s%N)
            break
        fi
        sleep 0.01
    done
    if [[ -z $shown ]]; then
        echo "$what did not appear within 10 seconds" >&2
        cat "$work/program.log" >&2
        exit 1
    fi
    start_ms=$(((shown - start) / 1000000))
}

# The first start also seeds the data folder and shows the settings wizard, which is
# closed as it came; a second start is what a user meets daily.
start=$(date +%s%N)
"$program" 2>>"$work/program.log" &
program_pid=$!
wait_for wizard_shown "the settings wizard"
printf 'start to the settings wizard (first start, data folder seeded): %d ms\n' "$start_ms"
# Activating it can fail while the manager is still taking the window in; a new window has
# the focus anyway. (The wait below says so when the key did not reach it.)
xdotool search --sync --name '^Settings' windowactivate --sync 2>/dev/null || true
xdotool key Escape
wait_for icon_shown "the tray icon"
kill "$program_pid" && wait "$program_pid" || true
# The later start may run on a large activity database (TALLYWICK_MEASURE_ACTIVITY_DB, for
# example the one activity_bench keeps) in place of the fresh one.
if [[ -n ${TALLYWICK_MEASURE_ACTIVITY_DB:-} ]]; then
    cp "$TALLYWICK_MEASURE_ACTIVITY_DB" "$XDG_DATA_HOME/Tallywick.V3/actmondb.sqlite"
fi
start=$(date +%s%N)
"$program" 2>>"$work/program.log" &
program_pid=$!
wait_for icon_shown "the tray icon"
printf 'start to tray icon (later start): %d ms\n' "$start_ms"

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$program_pid/stat"; }
sleep "$memory_idle"
printf 'resident memory after %d s idle: %d kB\n' "$memory_idle" \
    "$(awk '/^VmRSS:/ { print $2 }' "/proc/$program_pid/status")"

ticks_per_second=$(getconf CLK_TCK)
before=$(cpu_ticks)
sleep "$cpu_idle"
after=$(cpu_ticks)
awk -v used=$((after - before)) -v hz="$ticks_per_second" -v seconds="$cpu_idle" \
    'BEGIN { printf "CPU over %d s idle: %.2f s, %.3f %% of one core\n", seconds, used / hz, 100 * used / hz / seconds }'
