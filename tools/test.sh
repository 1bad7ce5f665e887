#!/usr/bin/env bash
# Builds everything and runs every test: a Debug build (also recording through a sound
# server of its own), then an AddressSanitizer + UndefinedBehaviorSanitizer build, then a
# ThreadSanitizer build of the tests with threads.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
tessmar_install_packages

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
bash tools/pulse-test.sh build/debug
run_build build/asan -DTESSMAR_SANITIZE=address,undefined

# ThreadSanitizer slows everything down; only the tests that run threads of their own.
tsan_tests=(platform_tests alsa_tests)
echo "=== build/tsan ==="
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSMAR_SANITIZE=thread \
    -DTESSMAR_BUILD_BENCH=OFF
cmake --build build/tsan -j "$jobs" --target "${tsan_tests[@]}"
ctest --test-dir build/tsan --output-on-failure -j "$jobs" \
    -R "^($(IFS='|'; echo "${tsan_tests[*]}"))\$"
