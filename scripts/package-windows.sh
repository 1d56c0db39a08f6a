#!/usr/bin/env bash
# Builds the Windows installer on Linux: a Release cross-build of the windowed program linked
# against the Qt for Windows built from Debian's source (scripts/build-qt-windows.sh, which
# builds it when its cache has none), staged with cmake --install, stripped, and packed by
# makensis into build-windows-package/tallywick-<version>-setup.exe.
#
#   scripts/package-windows.sh [--windowless | --from BUILD_DIR]
#
# --windowless packs the program without windows instead (no Qt needed). --from packs what an
# existing windowed Release cross-build holds, without building again: the test command packs
# the build its Windows tests ran on. Standard output is
# the installer's path alone; the builds' output goes to standard error. JOBS sets the build's
# parallel jobs (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
exec 3>&1 1>&2

die() {
    echo "package-windows: $*" >&2
    exit 1
}

windowless=false
from=
case ${1:-} in
"") ;;
--windowless) windowless=true ;;
--from)
    from=${2:-}
    [[ -f $from/CMakeCache.txt ]] || die "--from needs a configured build folder, not '$from'"
    grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$from/CMakeCache.txt" ||
        die "$from is not a Release build: the installer ships one"
    ;;
*) die "usage: $0 [--windowless | --from BUILD_DIR]" ;;
esac
triplet=x86_64-w64-mingw32
for tool in cmake makensis "$triplet-strip"; do
    command -v "$tool" >/dev/null || die "'$tool' is missing (scripts/setup-debian.sh test installs it)"
done

out="build-windows-package"
if [[ -n $from ]]; then
    build=$from
elif $windowless; then
    build=$out/build-windowless
    toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
    # The windowless cross-build also compiles the windows only to check them: not needed here.
    targets=(--target tallywick tallywick-probe template_databases skin_files)
else
    build=$out/build
    qt=$(scripts/build-qt-windows.sh | tee /dev/stderr | tail -1)
    toolchain=$qt/lib/cmake/Qt6/qt.toolchain.cmake
    [[ -f $toolchain ]] || die "no Qt toolchain file at $toolchain"
    targets=()
fi
if [[ -z $from ]]; then
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DTALLYWICK_TESTS=OFF -DTALLYWICK_BENCH=OFF
    cmake --build "$build" -j"${JOBS:-2}" "${targets[@]}"
fi

stage=$out/stage
rm -rf "$stage"
cmake --install "$build" --prefix "$stage"
# The debugging symbols are most of the Qt DLLs' size, and no use to the person installing.
find "$stage" -type f \( -iname '*.exe' -o -iname '*.dll' \) -exec "$triplet-strip" --strip-unneeded {} +

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ -n $version ]] || die "no project version in $build/CMakeCache.txt"
file_version=$(echo "$version.0.0.0" | cut -d. -f1-4)

# The uninstaller removes exactly what was installed (deepest folders last), never the folder's
# other contents: a person may have put pictures into Skins.
file_list=$out/installed-files.nsh
{
    echo '!macro DeleteInstalledFiles'
    (cd "$stage" && find . -type f | LC_ALL=C sort) | while read -r file; do
        file=${file#./}
        echo "  Delete \"\$INSTDIR\\${file//\//\\}\""
    done
    (cd "$stage" && find . -mindepth 1 -type d | LC_ALL=C sort -r) | while read -r folder; do
        folder=${folder#./}
        echo "  RMDir \"\$INSTDIR\\${folder//\//\\}\""
    done
    echo '!macroend'
} >"$file_list"

installer=$out/tallywick-$version-setup.exe
rm -f "$installer"
makensis -V2 -WX -NOCD -DVERSION="$version" -DFILE_VERSION="$file_version" -DSTAGE="$PWD/$stage" -DFILE_LIST="$PWD/$file_list" \
    -DOUTFILE="$PWD/$installer" packaging/windows/tallywick.nsi
[[ -f $installer ]] || die "makensis wrote no $installer"
echo "package-windows: $installer, $(du -k "$installer" | cut -f1) KiB"
echo "$installer" >&3
