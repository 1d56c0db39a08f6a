#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (MinGW-w64) from the source Debian serves for its own Qt, so
# that the windowed tallywick.exe can be linked and run under Wine. Only what the program and
# its tests use is built: Core, Gui, Widgets, Test and the windows platform plugin.
#
#   scripts/build-qt-windows.sh            builds when the cache has no install, then prints
#                                          the install folder on the last line
#   scripts/build-qt-windows.sh --prefix   prints the install folder without building
#
# The install lives in a cache outside the tree, keyed by the Qt version, the compiler and this
# script (which holds every flag), so a second run costs nothing. The first build takes about
# 40 minutes on two cores. TALLYWICK_CACHE moves the cache (default ~/.cache/tallywick).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")

qt_version=6.4.2
source_package=qt6-base
orig_tarball=qt6-base_${qt_version}+dfsg.orig.tar.xz
orig_sha256=4f14b89a9463a540fd84a6718b8519a2297119b454ef547721015a9e9019ae9e
triplet=x86_64-w64-mingw32

die() {
    echo "build-qt-windows: $*" >&2
    exit 1
}

for tool in cmake ninja "$triplet-g++-posix" "$triplet-gcc-posix" sha256sum tar; do
    command -v "$tool" >/dev/null || die "'$tool' is missing (scripts/setup-debian.sh test installs it)"
done
# The host's moc, rcc and uic build the target's sources: their version must be the source's.
host_qt_cmake=/usr/lib/x86_64-linux-gnu/cmake
[[ -x /usr/lib/qt6/libexec/moc ]] || die "the host's Qt tools are missing (qt6-base-dev-tools)"
host_version=$(/usr/lib/qt6/libexec/moc --version | awk '{print $2}')
[[ $host_version == "$qt_version" ]] ||
    die "the host's Qt tools are $host_version; this script builds Qt $qt_version"

cache_root=${TALLYWICK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tallywick}
compiler_version=$("$triplet-g++-posix" -dumpfullversion)
key=$( (
    echo "$qt_version $compiler_version"
    cat "$0" "$repo/cmake/mingw-w64-x86_64.cmake"
) | sha256sum | cut -c1-16)
prefix=$cache_root/qt-$qt_version-mingw-$key

if [[ ${1:-} == --prefix ]]; then
    echo "$prefix"
    exit 0
fi
if [[ -f $prefix/.complete ]]; then
    echo "$prefix"
    exit 0
fi

work=$cache_root/qt-$qt_version-mingw-$key.work
rm -rf "$work" "$prefix"
mkdir -p "$work"
cd "$work"

# The source comes through apt, from the deb-src line setup-debian.sh adds.
echo "build-qt-windows: fetching the source of $source_package $qt_version"
if ! apt-get source --download-only "$source_package=$qt_version+dfsg-10" >apt-source.log 2>&1 &&
    ! apt-get source --download-only "$source_package" >>apt-source.log 2>&1; then
    cat apt-source.log >&2
    die "apt-get source $source_package failed: is there a deb-src line? (scripts/setup-debian.sh test adds one as root)"
fi
[[ -f $orig_tarball ]] || die "apt did not give $orig_tarball"
echo "$orig_sha256  $orig_tarball" | sha256sum -c --quiet - ||
    die "$orig_tarball does not have the expected SHA-256"
tar -xf "$orig_tarball"
src=$work/qtbase-everywhere-src-$qt_version
[[ -d $src ]] || die "the tarball holds no qtbase-everywhere-src-$qt_version"

# The toolchain is copied beside the install: Qt's own toolchain file includes the one it was
# configured with, and the clone that built it may be gone.
mkdir -p "$prefix"
cp "$repo/cmake/mingw-w64-x86_64.cmake" "$prefix/mingw-w64-x86_64.cmake"

# Only the modules the program uses. Debian's source drops the tablet header the windows plugin
# needs with tablet support; OpenGL stays on (dynamic) because the 6.4 windows plugin does not
# compile without it.
cmake -S "$src" -B build -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_qt_cmake" \
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_tabletevent=OFF >configure.log 2>&1 || {
    tail -40 configure.log >&2
    die "configuring Qt failed (the whole log: $work/configure.log)"
}
cmake --build build -j"${JOBS:-2}" || die "building Qt failed (build folder: $work/build)"
cmake --install build >install.log 2>&1 || {
    tail -20 install.log >&2
    die "installing Qt failed"
}
touch "$prefix/.complete"
cd /
rm -rf "$work"
echo "$prefix"
