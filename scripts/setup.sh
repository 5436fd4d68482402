#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the application need.
# Does nothing when everything is already there.
set -euo pipefail

packages=(
    cmake g++ make
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools
    libqt6sql6-sqlite libgl-dev
    qt6-webengine-dev qt6-webengine-dev-tools qt6-pdf-dev qt6-httpserver-dev qt6-websockets-dev
    libqrencode-dev
    libquazip1-qt6-dev libsqlite3-dev
    breeze-icon-theme librsvg2-bin
    calibre
    xvfb xauth
    chromium poppler-utils qpdf
    desktop-file-utils appstream dpkg-dev file
    qt6-translations-l10n clang-format
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
