#!/usr/bin/env bash
# Installs the program under a scratch prefix and checks what lands there; then builds the
# Debian package, installs it into this machine, runs it and removes it again.
# Usage: test-package.sh BUILD_DIR "VERSION LABEL". Exit status 77: skipped.
set -euo pipefail
build_dir=$1
label=$2

if ! command -v dpkg >/dev/null || ! command -v apt-get >/dev/null; then
    echo "no dpkg/apt-get on this machine: skipped"
    exit 77
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "installing a package needs root: skipped"
    exit 77
fi
if dpkg -s lirenta >/dev/null 2>&1; then
    echo "a lirenta package is installed on this machine already; it is left alone: skipped"
    exit 77
fi

scratch=$(mktemp -d)
installed=no
cleanup() {
    if [ "$installed" = yes ]; then
        apt-get remove -y lirenta >/dev/null 2>&1 || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

cmake --install "$build_dir" --prefix "$scratch/usr" >/dev/null
test -x "$scratch/usr/bin/lirenta"
desktop-file-validate "$scratch/usr/share/applications/org.lirenta.Lirenta.desktop"
appstreamcli validate --no-net --pedantic "$scratch/usr/share/metainfo/org.lirenta.Lirenta.metainfo.xml"
for size in 16 22 32 48 64 128 256; do
    test -s "$scratch/usr/share/icons/hicolor/${size}x${size}/apps/lirenta.png"
done
test -s "$scratch/usr/share/icons/hicolor/scalable/apps/lirenta.svg"

cd "$scratch"
cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$scratch/package" >/dev/null
deb=$(ls "$scratch"/package/lirenta_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# Taken from the libraries the program links, besides the ones named by hand.
grep -q "libqt6webenginewidgets6" <<<"$depends"
grep -q "libquazip1-qt6" <<<"$depends"

installed=yes
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" >/dev/null
version=$(HOME="$scratch" QT_QPA_PLATFORM=offscreen /usr/bin/lirenta --version)
echo "$version"
[ "$version" = "Lirenta $label" ]
apt-get remove -y lirenta >/dev/null
installed=no
! test -e /usr/bin/lirenta
echo "package built, installed, run and removed"
