#!/bin/sh
# Runs the simulated year over many seeds, two at a time, and lists the failing ones with the
# command that replays each.
#   scripts/sim-seeds.sh [build folder] [first seed] [last seed] [more tallywick_sim options]
set -eu
build=${1:-build}
first=${2:-1}
last=${3:-2000}
shift $(( $# < 3 ? $# : 3 ))
seq "$first" "$last" | xargs -P 2 -I{} "$build/tests/tallywick_sim" --seed={} "$@" 2>/dev/null |
    grep -E '^FAILED|replay:' || echo "no seed failed"
