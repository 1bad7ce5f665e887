#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Note latency of the whole program: the built-in singer recorded on the offscreen platform
# while two busy processes keep both cores loaded, with TESSMAR_LATENCY_LOG set, so that
# the program logs, per block, the time from the device handing the block back to its note
# shown in the window. Prints median, 99th percentile and maximum.
# Usage: bench/note-latency.sh BUILD_DIR [SECONDS]   (a Release build)
set -euo pipefail
source "$(dirname "$(realpath "$0")")/processor-share.sh"
build=$(realpath "$1")
seconds=${2:-60}
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-latency-XXXXXX")
load=()
cleanup() {
    for pid in "${load[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

load_both_cores load
TESSMAR_LATENCY_LOG=$work/latency.txt TESSMAR_INPUT=demo TESSMAR_MIXER=tessmar-bench-no-mixer \
    QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work "$build/app/tessmar" x "$work/take.wav" \
    2>"$work/stderr" &
pid=$!
sleep "$seconds"
kill -INT "$pid"
wait "$pid" || true
sort -n "$work/latency.txt" | awk '{ v[NR] = $1 } END {
    if (NR == 0) { print "no blocks logged"; exit 1 }
    printf "blocks %d, median %.2f ms, 99th percentile %.2f ms, max %.2f ms\n", NR,
           v[int((NR + 1) / 2)] / 1000, v[int(NR * 0.99 + 0.999)] / 1000, v[NR] / 1000 }'
