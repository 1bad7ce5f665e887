#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Tessmar (Release) and starts it. Arguments are passed on to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
tessmar_install_packages

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSMAR_BUILD_TESTS=OFF
cmake --build build/release

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    echo "Kein Bildschirm gefunden: Tessmar braucht eine grafische Sitzung (DISPLAY ist leer)." >&2
    echo "Gebaut ist es unter build/release/app/tessmar." >&2
    exit 1
fi
exec build/release/app/tessmar "$@"
