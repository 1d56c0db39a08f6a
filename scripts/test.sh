#!/usr/bin/env bash
# Builds Tallywick and runs every test: the layer check of the includes, then the suite once
# as a normal build, once cross-built for Windows with its Qt and run under Wine, once under
# AddressSanitizer and UndefinedBehaviorSanitizer (separate build directories).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh test
scripts/check-layers.sh

jobs=${JOBS:-2}
run_suite() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DTALLYWICK_BENCH=OFF -DTALLYWICK_WERROR=ON "$@"
    cmake --build "$dir" -j"$jobs"
    ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 900
}

# The benchmarks are built (not run) with it, so that they keep compiling.
run_suite build-test -DTALLYWICK_BENCH=ON
# The administrator-managed edition: only what differs between the editions is built again,
# the access control and the password digest.
cmake -S . -B build-test-edition1 -DCMAKE_BUILD_TYPE=Debug -DTALLYWICK_BENCH=OFF \
    -DTALLYWICK_WERROR=ON -DTALLYWICK_EDITION=1
cmake --build build-test-edition1 -j"$jobs" --target tallywick_access_tests
ctest --test-dir build-test-edition1 --output-on-failure -L edition --no-tests=error
# The Windows program: cross-built with MinGW-w64 against Qt for Windows (built from Debian's
# source into a cache on the first run, about 40 minutes on two cores), and tested under Wine.
# A Release build, as the installer ships it: the installer is packed from the same build.
scripts/build-qt-windows.sh
qt_windows=$(scripts/build-qt-windows.sh --prefix)
cmake -S . -B build-test-windows -DCMAKE_BUILD_TYPE=Release -DTALLYWICK_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$qt_windows/lib/cmake/Qt6/qt.toolchain.cmake"
cmake --build build-test-windows -j"$jobs"
scripts/run-wine-tests.sh build-test-windows -j"$jobs" --timeout 900
# The Windows installer, built from a Release cross-build, installed, installed again over a
# running copy and uninstalled under Wine.
installer=$(scripts/package-windows.sh --from build-test-windows)
scripts/with-x-server.sh --window-manager none scripts/wine-installer-test.sh "$installer"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_suite build-test-asan -DTALLYWICK_SANITIZE=ON
echo "All tests passed."
