#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package as Debian builds it (dpkg-buildpackage from debian/), checks
# what it holds and what lintian says, then installs it with apt-get (as root) and starts
# the programs without a display.
# Usage: scripts/package-test.sh [BUILD_DIR]   (default build/package)
# dpkg-buildpackage builds inside the source tree and writes its results next to it, so it
# runs on a copy in BUILD_DIR/src: the checkout stays clean and the .deb, .changes and
# .buildinfo land in BUILD_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh # also when run alone: debhelper, validators, lintian
tessmar_install_packages "${TESSMAR_TEST_PACKAGES[@]}"
build=${1:-build/package}
id=$(sed -n 's/^set(TESSMAR_APPLICATION_ID \(.*\))$/\1/p' CMakeLists.txt)
version=$(sed -n 's/^project(Tessmar VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() {
    echo "package-test: $*" >&2
    exit 1
}

# Build-Depends follow scripts/deps.sh: each of its build packages is there, but for the
# compiler (build-essential), what only the tests and benchmarks use, and what the
# programs only load at run time (fonts, Qt's translations: the package recommends them).
build_depends=$(sed -n '/^Build-Depends:/,/^[A-Z]/p' debian/control)
for pkg in "${TESSMAR_PACKAGES[@]}"; do
    case $pkg in
    g++ | libgtest-dev | libgmock-dev | libbenchmark-dev | libfftw3-dev) ;;
    fonts-* | qt6-translations-l10n) ;;
    *) grep -q "^ $pkg,\?\$" <<<"$build_depends" || fail "debian/control does not build-depend on $pkg" ;;
    esac
done

echo "=== the source, copied to $build/src ==="
rm -rf "$build/src"
rm -f "$build"/tessmar*_*.deb "$build"/tessmar*_*.ddeb "$build"/tessmar_*.changes \
    "$build"/tessmar_*.buildinfo
mkdir -p "$build/src"
if git rev-parse --git-dir >/dev/null 2>&1; then
    # What git would commit: tracked and new files, uncommitted changes included, without
    # the ignored build trees.
    git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
        tar --null -T - -cf - | tar -xf - -C "$build/src"
else
    tar --exclude=./build --exclude='./build-*' --exclude=./.git -cf - . | tar -xf - -C "$build/src"
fi

echo "=== dpkg-buildpackage -us -uc -b ==="
# ccache, where there is one, makes a second run compile only what changed.
if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
(cd "$build/src" && dpkg-buildpackage -us -uc -b -j"$(nproc)")
deb=$build/tessmar_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "dpkg-buildpackage made no $(basename "$deb")"
dpkg-deb --field "$deb"
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] ||
    fail "debian/changelog's version is not the project's $version"

echo "=== what the package holds ==="
dpkg-deb -x "$deb" "$stage"
programs=()
for program in "$stage"/usr/bin/*; do
    programs+=("$(basename "$program")")
done
for program in tessmar tessmar-notes tessmar-demo tessmar-capture tessmar-pitch; do
    [ -x "$stage/usr/bin/$program" ] || fail "$program is not in /usr/bin"
done
for desktop in "$stage"/usr/share/applications/*.desktop; do
    # Only the hint that an entry is listed under both Multimedia and Education may remain.
    report=$(desktop-file-validate "$desktop" | grep -v 'contains more than one main category' || true)
    [ -z "$report" ] || fail "desktop-file-validate: $report"
done
for metainfo in "$stage"/usr/share/metainfo/*.metainfo.xml; do
    appstreamcli validate --no-net --strict "$metainfo"
done
# The whole tree: metainfo, desktop entries and icons found where the desktop looks.
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
echo "${programs[*]}: desktop entries, metainfo, icons and manual pages are valid"

echo "=== lintian ==="
# Errors and warnings fail; the informational tags that docs/debian-package.md explains
# are shown.
lintian --fail-on error,warning --display-info "$build/tessmar_${version}_$(dpkg --print-architecture).changes"
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
said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM tessmar --version)
[ "$said" = "Tessmar $version" ] || fail "tessmar --version says \"$said\", not \"Tessmar $version\""
echo "installed: $said; tessmar-notes --help answers"
