#!/usr/bin/env bash
# The end of a Wine session, in a prefix of its own. First the session ends as the shell's
# log-off ends it (wineboot --end-session): the program must end in order before Wine ends
# its process, so its lock file is gone. Then a notepad and a window with work to save are
# started and the helper asks for the shutdown as the reminder does: nothing may go during
# the warning period, then both must go, the window having been asked first (a forced
# shutdown ends programs without asking, and their unsaved work with them).
# Needs a display (run under scripts/run-wine-tests.sh).
#
#   scripts/wine-shutdown-test.sh HELPER_EXE PROGRAM_EXE
set -euo pipefail
helper=$1
program=$2
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tallywick-wine-shutdown.XXXXXX")
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
notepad_pid=
program_pid=
asked_pid=
cleanup() {
    [[ -n $notepad_pid ]] && kill "$notepad_pid" 2>/dev/null
    [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null
    [[ -n $asked_pid ]] && kill "$asked_pid" 2>/dev/null
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# Runs until the process has ended or about 30 s have passed; false when it still runs.
gone_within_30s() {
    for _ in $(seq 300); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    ! kill -0 "$1" 2>/dev/null
}

wineboot -i >/dev/null 2>&1
lock="$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")/Tallywick.V3/Tallywick.lock"
wine "$program" >/dev/null 2>&1 &
program_pid=$!
for _ in $(seq 300); do
    [[ -e $lock ]] && break
    sleep 0.1
done
if [[ ! -e $lock ]]; then
    echo "FAIL: the program did not start" >&2
    exit 1
fi
wine wineboot --end-session >/dev/null 2>&1
if ! gone_within_30s "$program_pid"; then
    echo "FAIL: the program still runs 30 s after the end of the session" >&2
    exit 1
fi
program_pid=
if [[ -e $lock ]]; then
    echo "FAIL: the session ended before the program released its lock" >&2
    exit 1
fi
echo "PASS: the program ended in order with the session"

asked="$WINEPREFIX/asked.txt"
wine notepad.exe >/dev/null 2>&1 &
notepad_pid=$!
wine "$helper" asked "$(winepath -w "$asked")" >/dev/null 2>&1 &
asked_pid=$!
sleep 3
if ! kill -0 "$notepad_pid" 2>/dev/null || ! kill -0 "$asked_pid" 2>/dev/null; then
    echo "FAIL: notepad or the window with work to save did not start" >&2
    exit 1
fi

# A warning period of a few seconds: long enough for a session's end started at once to be
# seen halfway through it.
warning_seconds=8
answer="$WINEPREFIX/shutdown.txt"
wine "$helper" shutdown "$warning_seconds" >"$answer" 2>/dev/null &
for _ in $(seq 50); do
    [[ -s $answer ]] && break
    sleep 0.1
done
output=$(head -n 1 "$answer" | tr -d '\r')
echo "helper: ${output:-<no answer>}"
if [[ $output != "shutdown requested" ]]; then
    echo "FAIL: the shutdown was not requested" >&2
    exit 1
fi
sleep $((warning_seconds / 2))
if ! kill -0 "$notepad_pid" 2>/dev/null || [[ -s $asked ]]; then
    echo "FAIL: the session went down before its warning period was over" >&2
    exit 1
fi
if ! gone_within_30s "$notepad_pid" || ! gone_within_30s "$asked_pid"; then
    echo "FAIL: a program still runs 30 s after the warning period" >&2
    exit 1
fi
notepad_pid=
asked_pid=
if ! grep -q asked "$asked" 2>/dev/null; then
    echo "FAIL: the programs were ended without being asked to close" >&2
    exit 1
fi
echo "PASS: after the warning the session's programs were asked to close, and went"
