#!/usr/bin/env bash
# Installs the program under a scratch prefix and checks what lands there; then builds the
# Debian package, checks its contents and that its dependencies can be met here, and runs the
# program from a copy unpacked into a scratch folder. Nothing is installed on this machine.
# Usage: test-package.sh BUILD_DIR "VERSION LABEL". Exit status 77: skipped.
set -euo pipefail
build_dir=$1
label=$2

if ! command -v dpkg-deb >/dev/null || ! command -v apt-get >/dev/null; then
    echo "no dpkg-deb/apt-get on this machine: skipped"
    exit 77
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build_dir" --prefix "$scratch/usr" >/dev/null
test -x "$scratch/usr/bin/lirenta"
desktop=$scratch/usr/share/applications/org.lirenta.Lirenta.desktop
desktop-file-validate "$desktop"
# The types Lirenta reads, and not every text file.
mimes=$(sed -n 's/^MimeType=//p' "$desktop")
for type in application/pdf application/epub+zip application/x-mobipocket-ebook text/html; do
    grep -q "$type;" <<<"$mimes"
done
! grep -q "text/plain" <<<"$mimes"
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
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/lirenta ./usr/share/applications/org.lirenta.Lirenta.desktop \
    ./usr/share/metainfo/org.lirenta.Lirenta.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/lirenta.svg; do
    grep -q " $path\$" <<<"$contents"
done
# Every dependency can be met here: apt only works out what it would do.
apt-get install --simulate --no-install-recommends "$deb" >"$scratch/simulate.log" 2>&1 || {
    cat "$scratch/simulate.log"
    exit 1
}

# The program as the package holds it, unpacked, asked for its version without a display.
dpkg-deb -x "$deb" "$scratch/unpacked"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$scratch" "$scratch/unpacked/usr/bin/lirenta" --version)
echo "$version"
[ "$version" = "Lirenta $label" ]
help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$scratch" "$scratch/unpacked/usr/bin/lirenta" --help)
grep -q "\[FILE...\]" <<<"$help"
echo "package built, checked and run from an unpacked copy"
