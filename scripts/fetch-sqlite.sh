#!/usr/bin/env bash
# Fetches the SQLite amalgamation (sqlite3.c, sqlite3.h) for the MinGW-w64 cross-build into
# third_party/sqlite/, once. Debian has no SQLite built for MinGW, and the official
# amalgamation is one C file that compiles anywhere. It is taken unmodified from a pinned
# npm package that ships it (the registry is what these machines reach), and every file is
# checked against its SHA-256 before it is used.
set -euo pipefail
cd "$(dirname "$0")/.."

package=better-sqlite3
version=12.9.0
tarball_sha256=ad0e29650140c49d0335b1d356596aa8166f12b758f418a98446130e3278f250
c_sha256=391855ddc7af04001364430884d263cbe8638f852c83865823a2d08358f6b87d
h_sha256=8e43a79982422f4720685f62839718f0e41410c1b71355aa32af3615ccd9e31d
target=third_party/sqlite

check() { # file sha256
    [[ -f $1 ]] && echo "$2  $1" | sha256sum --check --status
}

if check "$target/sqlite3.c" "$c_sha256" && check "$target/sqlite3.h" "$h_sha256"; then
    exit 0
fi
if ! command -v npm >/dev/null; then
    echo "$0: npm is needed to fetch the SQLite amalgamation (scripts/setup-debian.sh installs it)" >&2
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "$package@$version" >/dev/null)
tarball="$work/$package-$version.tgz"
if ! check "$tarball" "$tarball_sha256"; then
    echo "$0: $package-$version.tgz does not have the expected SHA-256; not used" >&2
    exit 1
fi
tar -xzf "$tarball" -C "$work" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
for file in sqlite3.c sqlite3.h; do
    sum=$c_sha256
    [[ $file == sqlite3.h ]] && sum=$h_sha256
    if ! check "$work/package/deps/sqlite3/$file" "$sum"; then
        echo "$0: $file in $package-$version does not have the expected SHA-256; not used" >&2
        exit 1
    fi
done
mkdir -p "$target"
cp "$work/package/deps/sqlite3/sqlite3.c" "$work/package/deps/sqlite3/sqlite3.h" "$target/"
echo "SQLite amalgamation $(grep -m1 '#define SQLITE_VERSION ' "$target/sqlite3.h" | awk '{print $3}') in $target"
