#!/usr/bin/env bash
# The Windows installer under Wine, in a prefix of its own, used as a person and a deployment
# tool use it: a silent install, the program started from its installed folder, a second
# silent install over the running copy, then the silent uninstall the Add/Remove entry names,
# which must end the running copy in order, remove the program's files, its shortcut and its
# registry values, and keep the person's data. Needs a display (scripts/with-x-server.sh).
#
#   scripts/wine-installer-test.sh build-windows-package/tallywick-VERSION-setup.exe
set -euo pipefail
if (($# != 1)) || [[ ! -f $1 ]]; then
    echo "usage: $0 INSTALLER" >&2
    exit 2
fi
installer=$(realpath "$1")
version=$(basename "$installer" | sed -n 's/^tallywick-\(.*\)-setup\.exe$/\1/p')
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tallywick-wine-installer.XXXXXX")
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
program_pid=
cleanup() {
    [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# True once the command succeeds, tried again and again for up to 30 s.
within_30s() {
    local deadline=$((SECONDS + 30))
    while ((SECONDS < deadline)); do
        "$@" && return 0
        sleep 0.1
    done
    "$@"
}
ended() { ! kill -0 "$1" 2>/dev/null; }
missing() { [[ ! -e $1 ]]; }
entry_gone() { ! wine reg query "$uninstall_key" >/dev/null 2>&1; }
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
windows_variable() { wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
# The data of one registry value, empty when it is not there.
registry_value() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n -E "s/^ +$2 +REG_[A-Z_]+ +//p"
}

wineboot -i >/dev/null 2>&1
folder_windows="$(windows_variable LOCALAPPDATA)\\Programs\\Tallywick"
program_windows="$folder_windows\\tallywick.exe"
folder=$(unix_path "$folder_windows")
appdata=$(unix_path "$(windows_variable APPDATA)")
data=$appdata/Tallywick.V3
shortcut="$appdata/Microsoft/Windows/Start Menu/Programs/Tallywick.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallywick'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

seeded() { [[ -e $data/Tallywick.lock && -s $data/settings.sqlite && -s $data/actmondb.sqlite ]]; }
# Started as the shortcut starts it; returns once it holds its lock and has seeded the data
# folder from the template databases installed beside it.
start_program() {
    local started=$SECONDS
    wine "$program_windows" >/dev/null 2>&1 &
    program_pid=$!
    within_30s seeded || fail "the installed program did not start and seed $data"
    echo "the installed program runs after $((SECONDS - started)) s"
}

started=$SECONDS
wine "$installer" /S || fail "the silent install exited with $?"
echo "silent install: $((SECONDS - started)) s"
for file in tallywick.exe tallywick-probe.exe settings.sqlite actmondb.sqlite tallywick.ico \
    uninstall.exe Skins/Harbour.png; do
    [[ -f $folder/$file ]] || fail "no $file in $folder"
done
[[ -f $shortcut ]] || fail "no Start menu shortcut"
for value in DisplayName DisplayVersion Publisher DisplayIcon EstimatedSize UninstallString \
    QuietUninstallString; do
    [[ -n $(registry_value "$uninstall_key" "$value") ]] || fail "the uninstall entry has no $value"
done
[[ $(registry_value "$uninstall_key" DisplayVersion) == "$version" ]] ||
    fail "the uninstall entry's version is not $version"
size=$(registry_value "$uninstall_key" EstimatedSize)
((size > 0)) || fail "the estimated size is $size"
echo "installed size: $((size)) KiB"
[[ $(registry_value "$run_key" Tallywick) == "\"$program_windows\"" ]] ||
    fail "the Run value is \"$(registry_value "$run_key" Tallywick)\", not the installed program"
echo "PASS: the silent install wrote the program, its shortcut, the uninstall entry and the Run value"

start_program
# The person turns starting at login off, as the program's menu does.
wine reg delete "$run_key" /v Tallywick /f >/dev/null 2>&1
wine "$installer" /S || fail "the silent install over the running copy exited with $?"
within_30s ended "$program_pid" || fail "the running copy still runs after the second install"
program_pid=
missing "$data/Tallywick.lock" || fail "the running copy did not end in order for the second install"
missing "$folder/uninstall.flag" || fail "the second install left the marker behind"
[[ -z $(registry_value "$run_key" Tallywick) ]] || fail "the second install turned starting at login on again"
echo "PASS: a second install ended the running copy in order, kept starting at login off"

start_program
wine reg add "$run_key" /v Tallywick /d "\"$program_windows\"" /f >/dev/null 2>&1
quiet=$(registry_value "$uninstall_key" QuietUninstallString)
[[ $quiet =~ ^\"(.*)\"\ /S$ ]] || fail "the quiet uninstall command \"$quiet\" is not \"uninstaller\" /S"
# The uninstaller runs on from a copy in the temporary folder, so that it can remove itself.
wine "${BASH_REMATCH[1]}" /S || fail "the silent uninstall exited with $?"
within_30s ended "$program_pid" || fail "the running copy still runs after the uninstall"
program_pid=
missing "$data/Tallywick.lock" || fail "the running copy did not end in order for the uninstall"
# The entry goes last.
within_30s entry_gone || fail "the uninstall entry is still there"
missing "$folder" || fail "the program folder is still there: $(ls -R "$folder")"
missing "$shortcut" || fail "the Start menu shortcut is still there"
[[ -z $(registry_value "$run_key" Tallywick) ]] || fail "the Run value is still there"
[[ -f $data/settings.sqlite && -f $data/actmondb.sqlite ]] || fail "the person's data is gone"
echo "PASS: the silent uninstall ended the running copy and removed the program, kept the data"
