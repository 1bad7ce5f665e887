#!/usr/bin/env bash
# Installs Tessmar as a user gets it and checks what the desktop and the package manager
# see. First a DESTDIR install: programs, desktop entry, metainfo, icons and manual pages,
# each through its validator. Then the Debian package: built by cpack, checked by lintian,
# installed with apt-get (as root) and started without a display.
# Usage: tools/package-test.sh [BUILD_DIR]   (default build/package, a RelWithDebInfo tree)
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh # also when run alone: validators, dpkg-dev, lintian
tessmar_install_packages "${TESSMAR_TEST_PACKAGES[@]}"
build=${1:-build/package}
id=$(sed -n 's/^set(TESSMAR_APPLICATION_ID \(.*\))$/\1/p' CMakeLists.txt)
programs=(tessmar tessmar-notes tessmar-demo tessmar-capture tessmar-pitch)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() {
    echo "package-test: $*" >&2
    exit 1
}

echo "=== $build (RelWithDebInfo, Debian's build flags) ==="
# The hardening a Debian package build uses; CMake reads no CPPFLAGS, so they go along.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSMAR_BUILD_TESTS=OFF -DTESSMAR_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" -j "$(nproc)"

echo "=== install into a DESTDIR ==="
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
for program in "${programs[@]}"; do
    [ -x "$stage/usr/bin/$program" ] || fail "$program is not installed in /usr/bin"
done
desktop=$stage/usr/share/applications/$id.desktop
metainfo=$stage/usr/share/metainfo/$id.metainfo.xml
# Only the hint that Tessmar is listed under both Multimedia and Education may remain.
for entry in "$desktop" "${desktop%.desktop}.pitch.desktop"; do
    report=$(desktop-file-validate "$entry" | grep -v 'contains more than one main category' || true)
    [ -z "$report" ] || fail "desktop-file-validate: $report"
done
appstreamcli validate --no-net --strict "$metainfo" "${metainfo%.metainfo.xml}.pitch.metainfo.xml"
# The whole tree: metainfo, desktop entry and icon found where the desktop looks.
appstreamcli validate-tree --no-net "$stage"
[ -f "$stage/usr/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in 48 64 128 256; do
    png=$stage/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -f "$png" ] || fail "no ${size}x${size} icon"
    # Width and height from the PNG header, big-endian at bytes 16 and 20.
    read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
    [ "$w $h" = "$size $size" ] || fail "${size}x${size} icon is ${w}x${h}"
done
for program in "${programs[@]}"; do
    page=$stage/usr/share/man/man1/$program.1.gz
    [ -f "$page" ] || fail "no manual page for $program"
    report=$(zcat "$page" | groff -man -ww -z 2>&1)
    [ -z "$report" ] || fail "groff on $program(1): $report"
    report=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$report" ] || fail "man on $program(1): $report"
done
echo "desktop entry, metainfo, icons and manual pages are valid"

echo "=== Debian package ==="
rm -f "$build"/tessmar_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/tessmar_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || fail "cpack made no tessmar_*.deb"
dpkg-deb --field "$deb"
# Errors and warnings fail; the informational tags the README explains are shown.
lintian --fail-on error,warning --display-info "$deb"
echo "lintian: no errors, no warnings"

if [ "$(id -u)" -ne 0 ]; then
    echo "package-test: not root, so the package is not installed." >&2
    exit 0
fi
export DEBIAN_FRONTEND=noninteractive
# A Tessmar installed before stays; one this test installs goes again at the end.
if ! dpkg-query -W -f='${Status}' tessmar 2>/dev/null | grep -q 'install ok installed'; then
    trap 'apt-get remove -y -qq tessmar >/dev/null; rm -rf "$stage"' EXIT
fi
(cd "$build" && apt-get install -y -qq ./"$(basename "$deb")" >/dev/null)
for program in "${programs[@]}"; do
    [ "$(command -v "$program")" = "/usr/bin/$program" ] || fail "$program is not on the PATH"
done
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM tessmar-notes --help >/dev/null
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM tessmar --version)
expected="Tessmar $(sed -n 's/^project(Tessmar VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
[ "$version" = "$expected" ] || fail "tessmar --version says \"$version\", not \"$expected\""
echo "installed: $version; tessmar-notes --help answers"
