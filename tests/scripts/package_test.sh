#!/usr/bin/env bash
# The Debian package on this machine, as a person gets it: build it with cpack from the
# build tree, install it with dpkg, start the installed program on the X server this runs
# under (scripts/with-x-server.sh) with a private home, check that it seeded its data
# folder from /usr/share/tallywick, then remove the package and check that the running copy
# ended in order. It installs and removes our own package only, and leaves the machine as
# it found it.
#
#   tests/scripts/package_test.sh BUILD_DIR
#
# Installing needs root: elsewhere it is skipped (exit 77) with the reason.
set -euo pipefail
build=$(cd "$1" && pwd)

if [[ $(id -u) -ne 0 ]]; then
    echo "SKIPPED: installing a package with dpkg needs root; run the test command as root."
    exit 77
fi
# shellcheck source=preconditions.sh
source "$(dirname "$0")/preconditions.sh"
require_tools cpack dpkg dpkg-shlibdeps cmp
require_display

# Two runs at once would fight over the package.
exec 9>/tmp/tallywick-package-test.lock
flock 9

if dpkg-query -W -f='${Status}' tallywick 2>/dev/null | grep -q "installed"; then
    echo "$0: a tallywick package is already installed here; the test would replace and" \
        "remove it. Remove it first (dpkg --purge tallywick)." >&2
    exit 1
fi

work=$(mktemp -d)
program_pid=
installed=
cleanup() {
    local status=$?
    if [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null; then
        wait "$program_pid" 2>/dev/null || true
    fi
    if [[ -n $installed ]]; then
        dpkg --purge tallywick >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*" >&2
    [[ -s $work/program.err ]] && { echo "--- the program's standard error ---" >&2; cat "$work/program.err" >&2; }
    exit 1
}
wait_for() { # seconds, command...
    local tries=$(($1 * 10))
    shift
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Compression is what a package build spends most on: gzip keeps the test quick.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" \
    -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack could not make the package"; }
package=$(echo "$work"/package/tallywick_*.deb)
[[ -f $package ]] || fail "cpack made no package: $(ls "$work/package")"
depends=$(dpkg-deb -f "$package" Depends)
[[ $depends == *libqt6widgets6* && $depends == *libsqlite3-0* ]] ||
    fail "the package's dependencies were not computed: \"$depends\""

installed=yes
dpkg --force-unsafe-io -i "$package" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg -i failed"; }
for file in /usr/bin/tallywick /usr/bin/tallywick-probe /usr/share/tallywick/settings.sqlite \
    /usr/share/tallywick/actmondb.sqlite /etc/xdg/autostart/app.tallywick.Tallywick.desktop \
    /usr/share/applications/app.tallywick.Tallywick.desktop /usr/share/tallywick/kwin/windows.js \
    /usr/share/gnome-shell/extensions/windows@tallywick.app/metadata.json; do
    [[ -f $file ]] || fail "the package did not install $file"
done
[[ $(cat /usr/share/gnome-shell/extensions/windows@tallywick.app/executable) == /usr/bin/tallywick ]] ||
    fail "the GNOME Shell extension does not name the installed program"

# A person's own session: nothing of the real user's data is touched.
home=$work/home
mkdir -p "$home"
data=$home/data/Tallywick.V3
env HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
    XDG_RUNTIME_DIR="$home/runtime" /usr/bin/tallywick 2>"$work/program.err" &
program_pid=$!
wait_for 20 test -f "$data/Tallywick.lock" || fail "the installed program did not start"
cmp -s /usr/share/tallywick/settings.sqlite "$data/settings.sqlite" ||
    fail "the data folder was not seeded with the installed settings template"
cmp -s /usr/share/tallywick/actmondb.sqlite "$data/actmondb.sqlite" ||
    fail "the data folder was not seeded with the installed activity template"
kill -0 "$program_pid" 2>/dev/null || fail "the installed program ended after seeding"

# Running left the installed files as they came: nothing written into the program folder.
dpkg --verify tallywick || fail "installed files changed while the program ran"
extra=$(comm -13 <(dpkg -L tallywick | sort) <(find /usr/share/tallywick | sort))
[[ -z $extra ]] || fail "files appeared in the program folder: $extra"

# Removal ends the running copy before the files go, in order (exit status 0, lock gone).
started=$(date +%s%N)
dpkg --force-unsafe-io --purge tallywick >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg --purge failed"; }
installed=
kill -0 "$program_pid" 2>/dev/null && fail "the program still runs after the package's removal"
status=0
wait "$program_pid" || status=$?
program_pid=
((status == 0)) || fail "the program ended with status $status, not in order"
[[ ! -e $data/Tallywick.lock ]] || fail "the program's lock file stayed behind"
for path in /usr/share/tallywick /usr/bin/tallywick /etc/xdg/autostart/app.tallywick.Tallywick.desktop; do
    [[ ! -e $path ]] || fail "$path stayed after the package's removal"
done
[[ -f $data/settings.sqlite ]] || fail "the removal took the person's data"
echo "Package: installed, seeded $data, removed in $((($(date +%s%N) - started) / 1000000)) ms" \
    "with the running copy ended."
