#!/usr/bin/env bash
# Builds everything and runs every test: a Debug build (also recording through sound
# servers of its own: PulseAudio at two rates, PipeWire), an AddressSanitizer + UndefinedBehaviorSanitizer build and a
# ThreadSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
tessmar_install_packages "${TESSMAR_TEST_PACKAGES[@]}"

jobs=$(nproc)
run_build() {
    local dir=$1
    shift
    echo "=== $dir ==="
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@"
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run_build build/debug
for server in "pulseaudio 11025" "pulseaudio 44100" "pipewire 48000"; do
    bash tools/sound-server-test.sh build/debug $server
done
bash tools/pulse-lost-test.sh build/debug
run_build build/asan -DTESSMAR_SANITIZE=address,undefined
run_build build/tsan -DTESSMAR_SANITIZE=thread -DTESSMAR_BUILD_BENCH=OFF

# Installed as a user gets it: DESTDIR install, validators, the Debian package and lintian,
# then the package installed with apt-get and started.
bash tools/package-test.sh build/package
