# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by start.sh and test.sh: makes sure the Debian packages for building are there.
# As root the missing ones are installed; anyone else is told the command and stopped.

TESSMAR_PACKAGES=(
    g++ cmake ninja-build pkg-config
    libsndfile1-dev libsamplerate0-dev
    libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev
    libasound2-dev
    qt6-base-dev libjpeg62-turbo-dev fonts-wine fonts-dejavu-core
    # tessmar-notes: aubio's YIN measures the sung pitch; Qt SVG draws the note chart as SVG.
    libaubio-dev qt6-svg-dev
    # tessmar-pitch keeps every scored take in an SQLite file.
    libsqlite3-dev
)

# Only for the tests: private sound servers as desktops run them, PulseAudio and PipeWire
# (with its session manager, under a D-Bus session of its own), PulseAudio's command-line
# client and ALSA's pulse plugin, to check the mixer setup, recording and playback
# against them. Not pipewire-pulse or pipewire-alsa: both remove PulseAudio, and
# pipewire-alsa would point ALSA's "default" at PipeWire for the whole machine. The tests
# reach PipeWire through its own pulse protocol module instead.
TESSMAR_TEST_PACKAGES=(
    pulseaudio pulseaudio-utils libasound2-plugins
    pipewire wireplumber dbus-daemon
)

# The window on Wayland (scripts/wayland-test.sh): a headless Weston as the compositor and
# Qt's Wayland platform plugin.
TESSMAR_TEST_PACKAGES+=(weston qt6-wayland)

# The fuzzers: clang with its runtime libraries (libFuzzer, the sanitizers).
TESSMAR_TEST_PACKAGES+=(clang libclang-rt-14-dev)

# Qt's own texts in German (the save dialog, the message boxes' buttons): the program
# loads qtbase_de at run time, so it belongs with the build packages that start.sh installs.
TESSMAR_PACKAGES+=(qt6-translations-l10n)

# Only for the screen reader check by hand (docs/desktop.md): the AT-SPI bus and its
# Python client, which scripts/atspi-tree.py reads the window's tree with.
TESSMAR_TEST_PACKAGES+=(at-spi2-core python3-pyatspi)

# The icon's PNG sizes are rendered from its SVG at build time.
TESSMAR_PACKAGES+=(librsvg2-bin)

# Only for the package test: validators of the desktop entry, the metainfo and the manual
# pages, the Debian package tools (dpkg-buildpackage with debhelper, after debian/rules;
# build-essential, which dpkg-checkbuilddeps asks for) and lintian. No fakeroot: the
# package builds without root (Rules-Requires-Root: no).
TESSMAR_TEST_PACKAGES+=(
    desktop-file-utils appstream groff-base man-db dpkg-dev build-essential debhelper file
    lintian
)

tessmar_install_packages() {
    local missing=() pkg
    for pkg in "${TESSMAR_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Es fehlen Pakete. Bitte als root installieren:" >&2
        echo "  apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installiere: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
