#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the take's journal costs in memory: the peak resident size of a command-line take
# with the built-in singer, with the journal and without (its folders all unusable), and
# the audio it held. Usage: bench/journal-memory.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=$(realpath "$1")
seconds=${2:-60}
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-journal-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home"

# peak KiB and audio bytes of one take; extra environment as arguments.
take() {
    env QT_QPA_PLATFORM=offscreen TESSMAR_INPUT=demo TESSMAR_MIXER=tessmar-test-no-mixer \
        HOME="$work/home" XDG_CONFIG_HOME="$work/config" "$@" \
        "$build/app/tessmar" x "$work/take.wav" 2>/dev/null &
    local pid=$!
    sleep "$seconds"
    local peak
    peak=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status")
    kill -INT $pid
    wait $pid || true
    echo "$peak $(($(stat -c %s "$work/take.wav") - 44))"
}

read -r with audio < <(take XDG_STATE_HOME="$work/state")
read -r without _ < <(take XDG_STATE_HOME=/dev/null/none XDG_RUNTIME_DIR= TMPDIR=/dev/null)
echo "take of $((audio / 44100)) s: audio $((audio / 1024)) KiB"
echo "peak resident: $with KiB with the journal, $without KiB without"
echo "the journal adds $((with - without)) KiB, $((100 * (with - without) * 1024 / audio))% of the audio"
