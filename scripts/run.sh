#!/usr/bin/env bash
# Builds Tallywick and runs it for the current user. Without a display, it runs on a
# private virtual display with a window manager, so it can still watch windows there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh run
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release -DTALLYWICK_TESTS=OFF -DTALLYWICK_BENCH=OFF
cmake --build build-run -j"${JOBS:-2}"
if [[ -z ${DISPLAY:-} ]]; then
    echo "No display: starting a virtual one (Xvfb with openbox)."
    exec scripts/with-x-server.sh --window-manager openbox build-run/bin/tallywick
fi
exec build-run/bin/tallywick
