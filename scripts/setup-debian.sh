#!/usr/bin/env bash
# Installs what building and testing Tallywick needs on Debian. As root, missing packages
# are installed with apt-get; otherwise a missing package stops with the list to install.
set -euo pipefail

packages=(g++ make cmake pkg-config libsqlite3-dev libgtest-dev libgmock-dev
    libx11-dev libxres-dev libxi-dev libxtst-dev libsystemd-dev xvfb openbox x11-apps dbus-daemon
    qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core
    g++-mingw-w64-x86-64-posix googletest wine wine64)

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
