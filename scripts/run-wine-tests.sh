#!/usr/bin/env bash
# Runs the Windows tests of a MinGW-w64 cross-build under Wine, in a throwaway Wine prefix
# on a private virtual display (scripts/with-x-server.sh). Wine missing is a failure.
#
#   scripts/run-wine-tests.sh BUILD_DIR [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
if (($# == 0)); then
    echo "usage: $0 BUILD_DIR [ctest arguments...]" >&2
    exit 2
fi
build=$1
shift
for tool in wine wineboot wineserver; do
    if ! command -v "$tool" >/dev/null; then
        echo "$0: $tool is not installed (scripts/setup-debian.sh installs it)" >&2
        exit 1
    fi
done

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tallywick-wine.XXXXXX")
export WINEPREFIX WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
# No offer to download the .NET and HTML engines: nothing here needs them. No menu builder
# either: it would copy the tests' Start-menu shortcuts into the real user's menu folders.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

inside_display() {
    local started=$SECONDS
    # One server for the whole run instead of one per test program. The session's own
    # processes (services, the desktop) start with the prefix, with their output sent to
    # the log: started later by a test they would hold its output pipe open.
    wineserver -p
    wineboot -i >"$WINEPREFIX/wineboot.log" 2>&1 || {
        cat "$WINEPREFIX/wineboot.log" >&2
        exit 1
    }
    # The windows are laid out for Arial, which Windows has and a fresh prefix lacks: Liberation
    # Sans has its measures.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d "Liberation Sans" /f \
        >>"$WINEPREFIX/wineboot.log" 2>&1
    echo "Wine prefix created in $((SECONDS - started)) s"
    ctest --test-dir "$build" --output-on-failure "$@"
}
export -f inside_display
export build
scripts/with-x-server.sh --window-manager none bash -c 'inside_display "$@"' inside_display "$@"
