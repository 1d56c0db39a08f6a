#!/usr/bin/env bash
# scripts/with-x-server.sh passes on its command's exit status and leaves no server or
# window manager behind, also when the manager ends by the signal it is stopped with.
set -euo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/with-x-server.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for manager in openbox none; do
    status=0
    # The server and the manager are the script's other children, beside this command.
    "$script" --window-manager "$manager" \
        bash -c 'ps -o pid=,comm= --ppid "$PPID" | grep -E "Xvfb|openbox" >"$1"; exit 3' \
        _ "$work/children" || status=$?
    if ((status != 3)); then
        echo "FAIL ($manager): exit status $status, expected the command's 3" >&2
        exit 1
    fi
    expected=$([[ $manager == none ]] && echo 1 || echo 2)
    if (($(wc -l <"$work/children") != expected)); then
        echo "FAIL ($manager): expected $expected helper processes, saw: $(cat "$work/children")" >&2
        exit 1
    fi
    while read -r pid name; do
        if kill -0 "$pid" 2>/dev/null; then
            echo "FAIL ($manager): $name (pid $pid) still runs after the script ended" >&2
            exit 1
        fi
    done <"$work/children"
    echo "ok ($manager): status 3 passed on, $(awk '{print $2}' "$work/children" | xargs) gone"
done
