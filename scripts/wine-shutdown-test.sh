#!/usr/bin/env bash
# The end of a Wine session, in a prefix of its own. First the session ends as the shell's
# log-off ends it (wineboot --end-session): the program must end in order before Wine ends
# its process, so its lock file is gone. Then a notepad is started and the helper asks for
# the shutdown as the reminder does (forced: nobody is asked), and the notepad must go away.
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
cleanup() {
    [[ -n $notepad_pid ]] && kill "$notepad_pid" 2>/dev/null
    [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null
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

wine notepad.exe >/dev/null 2>&1 &
notepad_pid=$!
sleep 3
if ! kill -0 "$notepad_pid" 2>/dev/null; then
    echo "FAIL: notepad did not start" >&2
    exit 1
fi

output=$(timeout 60 wine "$helper" shutdown 2>/dev/null || true)
echo "helper: ${output:-<ended before it could answer>}"
if [[ $output == refused* ]]; then
    echo "FAIL: the shutdown was refused" >&2
    exit 1
fi
if ! gone_within_30s "$notepad_pid"; then
    echo "FAIL: notepad still runs 30 s after the shutdown request" >&2
    exit 1
fi
notepad_pid=
echo "PASS: the session's notepad went away"
