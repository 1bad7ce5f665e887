#!/usr/bin/env bash
# Builds Tessmar (Release) and starts it. Until the window exists this shows the note
# log of a generated recording of the built-in singer.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
tessmar_install_packages

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSMAR_BUILD_TESTS=OFF
cmake --build build/release

demo=build/release/demo.wav
build/release/tools/tessmar-demo "$demo"
echo "Tonfolge von $demo:"
exec build/release/tools/tessmar-notes "$demo"
