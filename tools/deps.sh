# Sourced by start.sh and test.sh: makes sure the Debian packages for building are there.
# As root the missing ones are installed; anyone else is told the command and stopped.

TESSMAR_PACKAGES=(
    g++ cmake ninja-build pkg-config
    libsndfile1-dev libsamplerate0-dev
    libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev
    libasound2-dev
    qt6-base-dev libjpeg62-turbo-dev fonts-wine fonts-dejavu-core
)

# Only for the tests: a private sound server, its command-line client and ALSA's plugin
# for it, to check the mixer setup and the recording against what a desktop runs; clang
# with its runtime libraries (libFuzzer, the sanitizers) for the fuzzers.
TESSMAR_TEST_PACKAGES=(
    pulseaudio pulseaudio-utils libasound2-plugins
    clang libclang-rt-14-dev
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
