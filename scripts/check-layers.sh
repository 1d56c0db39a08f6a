#!/usr/bin/env bash
# Fails on an #include under src/ that points up the layers, and on Qt below the windows.
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
            fi
        elif ((own_rank < qt_rank)) && [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<Q ]]; then
            echo "src/$file:$line: no Qt below '$first_qt_layer': $text"
            faults=$((faults + 1))
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)

if ((faults)); then
    echo "Layer check: $faults include(s) out of order." >&2
    exit 1
fi
echo "Layer check: every include points down (${layers[*]})."
