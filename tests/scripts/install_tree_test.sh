#!/usr/bin/env bash
# The installed layout, as `cmake --install` makes it under a prefix of the test's own: the
# files in their places, the menu and autostart entries, the metainfo and the manual pages
# valid, the icons at their sizes; then the installed program, started on the X server this
# runs under (scripts/with-x-server.sh) with a private home and a read-only install, finds
# its program folder at bin/../share/tallywick, seeds its data folder from there, writes
# nothing into the install, and ends when the uninstall marker appears there.
#
#   tests/scripts/install_tree_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)

# shellcheck source=preconditions.sh
source "$(dirname "$0")/preconditions.sh"
require_tools cmake desktop-file-validate appstreamcli man cmp od
require_display

work=$(mktemp -d)
program_pid=
cleanup() {
    local status=$?
    if [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null; then
        wait "$program_pid" 2>/dev/null || true
    fi
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
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

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
    { cat "$work/install.log" >&2; exit 1; }
program_folder=$prefix/share/tallywick
menu_entry=$prefix/share/applications/app.tallywick.Tallywick.desktop
autostart_entry=$prefix/etc/xdg/autostart/app.tallywick.Tallywick.desktop
metainfo=$prefix/share/metainfo/app.tallywick.Tallywick.metainfo.xml

# The layout.
extension=windows@tallywick.app
for file in bin/tallywick bin/tallywick-probe share/tallywick/settings.sqlite \
    share/tallywick/actmondb.sqlite share/man/man1/tallywick.1.gz \
    share/man/man1/tallywick-probe.1.gz share/tallywick/kwin/windows.js \
    share/tallywick/kwin/close_window.js share/gnome-shell/extensions/$extension/metadata.json \
    share/gnome-shell/extensions/$extension/extension.js; do
    [[ -f $prefix/$file ]] || fail "$file is not installed"
done
[[ -x $prefix/bin/tallywick && -x $prefix/bin/tallywick-probe ]] || fail "the commands cannot run"
# GNOME Shell takes an extension only from the folder named for the uuid its metadata gives.
grep -q "\"uuid\": \"$extension\"" "$prefix/share/gnome-shell/extensions/$extension/metadata.json" ||
    fail "the GNOME Shell extension's folder is not named for its uuid"
# It answers only the program it names.
[[ $(cat "$prefix/share/gnome-shell/extensions/$extension/executable") == "$prefix/bin/tallywick" ]] ||
    fail "the GNOME Shell extension does not name the installed program"
skins=$(cd "$build/bin/Skins" && ls)
[[ -n $skins && $(cd "$program_folder/Skins" && ls) == "$skins" ]] ||
    fail "the installed Skins differ from the build's: $(ls "$program_folder/Skins")"

# What desktops and software centres read, checked by their own validators.
for entry in "$menu_entry" "$autostart_entry"; do
    desktop-file-validate "$entry" || fail "$entry does not validate"
    grep -qx "Exec=tallywick" "$entry" || fail "$entry does not start the program"
done
appstreamcli validate --no-net "$metainfo" >"$work/metainfo.log" 2>&1 ||
    { cat "$work/metainfo.log" >&2; fail "the metainfo does not validate"; }
for page in tallywick tallywick-probe; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l \
        "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "the manual page of $page has faults: $warnings"
done

# Each icon is a PNG as large as the theme's folder says.
for size in 16 22 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/tallywick.png
    if [[ ! -f $icon ]]; then
        fail "no ${size}x${size} icon"
        continue
    fi
    read -r width height < <(od -An -tu1 -j16 -N8 "$icon" |
        awk '{print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8}')
    [[ $width == "$size" && $height == "$size" ]] ||
        fail "the ${size}x${size} icon is ${width}x${height}"
done

# The installed program, in a person's own session, over an install nobody may write to.
home=$work/home
data=$home/data/Tallywick.V3
mkdir -p "$home"
chmod -R a-w "$prefix"
listing() { (cd "$prefix" && find . -printf '%p %s %T@\n' | sort); }
before=$(listing)
env HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
    XDG_RUNTIME_DIR="$home/runtime" "$prefix/bin/tallywick" 2>"$work/program.err" &
program_pid=$!
if wait_for 20 test -f "$data/Tallywick.lock"; then
    cmp -s "$program_folder/settings.sqlite" "$data/settings.sqlite" ||
        fail "the data folder was not seeded from $program_folder"
    cmp -s "$program_folder/actmondb.sqlite" "$data/actmondb.sqlite" ||
        fail "the activity database was not seeded from $program_folder"
else
    fail "the installed program did not start: $(cat "$work/program.err")"
fi
[[ $(listing) == "$before" ]] || fail "the program wrote into its install: $(diff <(echo "$before") <(listing))"

# The uninstaller's marker in the installed program folder ends it within about a second.
chmod u+w "$program_folder"
: >"$program_folder/uninstall.flag"
if wait_for 3 eval '! kill -0 "$program_pid" 2>/dev/null'; then
    status=0
    wait "$program_pid" || status=$?
    program_pid=
    ((status == 0)) || fail "the program ended with status $status"
else
    fail "the marker in $program_folder did not end the program"
fi

if ((failures)); then
    echo "--- the program's standard error ---" >&2
    cat "$work/program.err" >&2
    exit 1
fi
echo "Install tree: layout, entries, metainfo, manual pages and icons valid; the installed" \
    "program seeded its data folder from $program_folder and ended at the marker."
