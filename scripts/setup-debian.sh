#!/usr/bin/env bash
# Installs what Tallywick needs on Debian, for one purpose:
#   scripts/setup-debian.sh run      building and running the program (the default)
#   scripts/setup-debian.sh test     building and passing every test
#   scripts/setup-debian.sh measure  the measuring scripts
# As root, missing packages are installed with apt-get; otherwise a missing package stops
# with the list to install.
set -euo pipefail
cd "$(dirname "$0")/.."
purpose=${1:-run}

# Building and running: the compiler, Qt, SQLite, OpenSSL's libcrypto (the password's key
# derivation), the X11 libraries, and a virtual display with a window manager for machines
# without one. The windows are laid out for Arial:
# Liberation Sans has its measures (fontconfig gives it for Arial), so texts fit where they
# were placed; DejaVu Sans is there for everything else.
run_packages=(g++ make cmake pkg-config libsqlite3-dev libssl-dev libx11-dev libxres-dev libxi-dev
    libsystemd-dev qt6-base-dev qt6-base-dev-tools libgl-dev fonts-liberation2
    fonts-dejavu-core xvfb openbox)
# Testing: GoogleTest, the X test extension and the X utilities the desktop tests and scripts
# use (xprop, xwininfo), private D-Bus buses, and the Windows cross-build: MinGW-w64, Wine,
# GoogleTest's sources, the sqlite3 shell that builds the cross-build's template databases, and
# NSIS, which builds the Windows installer.
# The browsers whose menu entries program discovery is tested on and whose addresses are read
# through the accessibility bus. The install and package tests: the validators of desktop
# entries and metainfo, the manual page reader, and dpkg-shlibdeps, which computes the
# package's dependencies. The Wayland compositors the Wayland tests start headless (sway with
# Xwayland and its screen locker, KWin, GNOME Shell), with Qt's Wayland platform for the
# test's own client.
test_packages=(libgtest-dev libgmock-dev googletest libxtst-dev x11-apps x11-utils dbus-daemon
    g++-mingw-w64-x86-64-posix wine wine64 sqlite3 chromium firefox-esr at-spi2-core
    desktop-file-utils appstream man-db dpkg-dev ninja-build qt6-wayland sway swaylock xwayland
    kwin-wayland gnome-shell nsis)
# Measuring: a small system tray, and a way to close the first start's settings wizard.
measure_packages=(trayer x11-utils xdotool)

case $purpose in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
measure) packages=("${run_packages[@]}" "${measure_packages[@]}") ;;
*)
    echo "usage: $0 [run|test|measure]" >&2
    exit 2
    ;;
esac
# The cross-build's SQLite is fetched with npm; Debian's package serves where the machine
# has no npm of its own.
if [[ $purpose == test ]] && ! command -v npm >/dev/null; then
    packages+=(npm)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "Missing Debian packages: ${missing[*]}" >&2
        echo "Install them (sudo apt-get install ${missing[*]}) or run this as root." >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The first X client on a fresh machine would otherwise build the font cache itself, seconds
# long, while a test waits for its window.
if [[ $(id -u) -eq 0 ]]; then
    fc-cache
fi

# The Windows program's Qt is built from the source Debian serves for its own Qt
# (scripts/build-qt-windows.sh), which apt fetches only with a deb-src line for this release.
if [[ $purpose == test && $(id -u) -eq 0 ]] && ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
    . /etc/os-release
    cat >/etc/apt/sources.list.d/tallywick-src.sources <<EOF2
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $VERSION_CODENAME $VERSION_CODENAME-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF2
    apt-get update -q
fi

# sway refuses to run as root: the Wayland tests run it, and their clients, as this user.
if [[ $purpose == test && $(id -u) -eq 0 ]] && ! id -u tallywick-test >/dev/null 2>&1; then
    useradd --system --create-home --shell /usr/sbin/nologin tallywick-test
fi

if [[ $purpose == test ]]; then
    scripts/fetch-sqlite.sh
fi
