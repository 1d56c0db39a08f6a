#!/usr/bin/env bash
# Fails on an #include under src/ that points up the layers, on Qt below the windows, on
# a platform backend's folder (x11, wayland, linux, linux_desktop, win32, fake) named from
# outside src/platform: the rest of the program asks the platform's own headers, whichever
# backend answers; and on a test of which system it is built for (_WIN32, __linux__, a
# system's own clock) outside src/platform, a system's own discovery (src/discovery/<system>/)
# and the entries in src/app, which choose the backends.
# The layers, lowest first; a folder may include its own layer and those below it. This list
# and the README's layout section are the one place the order is written.
set -euo pipefail
cd "$(dirname "$0")/../src"

layers=(base platform items storage discovery monitor skin dialogs ui app)
first_qt_layer=skin

rank() {
    local i
    for i in "${!layers[@]}"; do
        if [[ ${layers[$i]} == "$1" ]]; then
            echo "$i"
            return
        fi
    done
    echo -1
}

qt_rank=$(rank "$first_qt_layer")
backends='x11|wayland|linux|linux_desktop|win32|fake'
# Windows' own program discovery works the same COM objects and error texts as the Windows
# backend; it is built only with it.
backend_allowed() { [[ $1 == discovery/win32/* && $2 == win32 ]]; }
# What only a system's own code may ask: which system it is, and a system's own clock.
system_test='(^|[^A-Za-z0-9_])(_WIN32|_WIN64|WIN32|__linux__|__linux|__APPLE__|__MACH__|__unix__|__FreeBSD__|_MSC_VER|__MINGW32__|__MINGW64__|__CYGWIN__|CLOCK_BOOTTIME)([^A-Za-z0-9_]|$)'
system_test_allowed() { [[ $1 == platform/* || $1 == discovery/*/* || $1 == app/* ]]; }
faults=0
while IFS= read -r file; do
    own=${file%%/*}
    own_rank=$(rank "$own")
    if ((own_rank < 0)); then
        echo "src/$file: the folder '$own' has no place in the layers (scripts/check-layers.sh)"
        faults=$((faults + 1))
        continue
    fi
    while IFS=: read -r line text; do
        if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([a-z0-9_]+)/ ]]; then
            target=${BASH_REMATCH[1]}
            target_rank=$(rank "$target")
            if ((target_rank < 0 || target_rank > own_rank)); then
                echo "src/$file:$line: '$own' may not include '$target': $text"
                faults=$((faults + 1))
            elif [[ $own != platform && $text =~ \"platform/($backends)/ ]] &&
                ! backend_allowed "$file" "${BASH_REMATCH[1]}"; then
                echo "src/$file:$line: only 'platform' may include its backend '${BASH_REMATCH[1]}': $text"
                faults=$((faults + 1))
            fi
        elif ((own_rank < qt_rank)) && [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<Q ]]; then
            echo "src/$file:$line: no Qt below '$first_qt_layer': $text"
            faults=$((faults + 1))
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
    if ! system_test_allowed "$file"; then
        while IFS=: read -r line text; do
            echo "src/$file:$line: only 'platform', a system's discovery and 'app' may test the system: $text"
            faults=$((faults + 1))
        done < <(grep -nE "$system_test" "$file" || true)
    fi
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)

if ((faults)); then
    echo "Layer check: $faults include(s) or system test(s) out of place." >&2
    exit 1
fi
echo "Layer check: every include points down (${layers[*]}), and only the platform tests the system."
