#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole program recording from the built-in singer on the offscreen platform, as a
# user's recording runs: processor time (user + system) as a share of the wall time, and
# the input lost. Once on a quiet machine, once while two busy processes keep both cores
# loaded. Usage: bench/record-demo.sh BUILD_DIR [SECONDS]   (a Release build)
set -euo pipefail
source "$(dirname "$(realpath "$0")")/processor-share.sh"
build=$(realpath "$1")
seconds=${2:-60}
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-bench-XXXXXX")
load=()
cleanup() {
    for pid in "${load[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

measure() {
    local label=$1
    # A mixer that isn't there: the benchmark must not change the machine's levels.
    TESSMAR_INPUT=demo TESSMAR_MIXER=tessmar-bench-no-mixer QT_QPA_PLATFORM=offscreen \
        XDG_CONFIG_HOME=$work "$build/app/tessmar" x "$work/take.wav" 2>"$work/stderr" &
    local pid=$!
    sleep 3 # start-up is not what is measured
    local share
    share=$(processor_share "$pid" "$seconds")
    kill -INT "$pid"
    wait "$pid"
    local lost
    lost=$(grep -o '[0-9]* Frames gingen verloren' "$work/stderr" | cut -d' ' -f1 || true)
    printf '%-28s processor %s, lost frames %d, recorded %d bytes\n' "$label" "$share" \
        "${lost:-0}" "$(($(stat -c %s "$work/take.wav") - 44))"
}

measure "quiet machine"
load_both_cores load
measure "both cores busy"
