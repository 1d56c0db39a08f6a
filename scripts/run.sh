#!/usr/bin/env bash
# Builds Tallywick and runs it for the current user.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release -DTALLYWICK_TESTS=OFF -DTALLYWICK_BENCH=OFF
cmake --build build-run -j"${JOBS:-2}"
exec build-run/bin/tallywick
