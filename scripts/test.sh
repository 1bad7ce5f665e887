#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything and runs every test: a Debug build (also recording through sound
# servers of its own: PulseAudio at two rates, PipeWire; and on a headless Weston), an
# AddressSanitizer + UndefinedBehaviorSanitizer build and a ThreadSanitizer build; then a
# clang build of the fuzzers alone, each run for a short while (TESSMAR_FUZZ_SECONDS, 20 s
# by default); last the Debian package, built, checked, installed and started.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
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
    bash scripts/sound-server-test.sh build/debug $server
done
bash scripts/pulse-lost-test.sh build/debug
bash scripts/hostile-users-test.sh build/debug
bash scripts/wayland-test.sh build/debug
run_build build/asan -DTESSMAR_SANITIZE=address,undefined
run_build build/tsan -DTESSMAR_SANITIZE=thread -DTESSMAR_BUILD_BENCH=OFF

echo "=== build/fuzz ==="
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTESSMAR_BUILD_FUZZ=ON -DTESSMAR_SANITIZE=address,undefined -DTESSMAR_BUILD_TESTS=OFF \
    -DTESSMAR_BUILD_BENCH=OFF -DTESSMAR_FUZZ_SECONDS="${TESSMAR_FUZZ_SECONDS:-20}"
cmake --build build/fuzz -j "$jobs" --target fuzzers
ctest --test-dir build/fuzz --output-on-failure -j "$jobs" -L fuzz

# Installed as a user gets it: the Debian package built with dpkg-buildpackage, its
# contents through the validators and lintian, then installed with apt-get and started.
bash scripts/package-test.sh build/package
