#!/usr/bin/env bash
# The shutdown request ends the Wine session it is made in: in a prefix of its own, a
# notepad is started, the helper asks for the shutdown as the reminder does, and the
# notepad must go away. Needs a display (run under scripts/run-wine-tests.sh).
#
#   scripts/wine-shutdown-test.sh HELPER_EXE
set -euo pipefail
helper=$1
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tallywick-wine-shutdown.XXXXXX")
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
notepad_pid=
cleanup() {
    [[ -n $notepad_pid ]] && kill "$notepad_pid" 2>/dev/null
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

wineboot -i >/dev/null 2>&1
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
for _ in $(seq 300); do
    kill -0 "$notepad_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$notepad_pid" 2>/dev/null; then
    echo "FAIL: notepad still runs 30 s after the shutdown request" >&2
    exit 1
fi
notepad_pid=
echo "PASS: the session's notepad went away"
