#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole program while it records as on a desktop: a window on an X server (Xvfb) and a
# 440 Hz tone at -10 dBFS sung into a private PulseAudio at 44.1 kHz (the tests' sound
# server), recorded through ALSA's "pulse" PCM in command-line mode. Prints Tessmar's
# processor time (user + system, all its threads) as a share of the wall time, once on a
# quiet machine and once while two busy processes keep both cores loaded.
# Usage: bench/record-desktop.sh BUILD_DIR [SECONDS]   (a Release build; as root, with
# no sound server of the user's running; needs xvfb, sox and pulseaudio-utils)
set -euo pipefail
source "$(dirname "$(realpath "$0")")/processor-share.sh"
build=$(realpath "$1")
seconds=${2:-60}
here=$(dirname "$(realpath "$0")")
fixture=$here/../tests/platform/sound_server.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-desktop-XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    bash "$fixture" stop "$work/server" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp 2>"$work/xvfb.log" &
pids+=($!)
TESSMAR_SERVER_ALONGSIDE=1 bash "$fixture" start pulseaudio 44100 "$work/server" >"$work/start.log" ||
    { cat "$work/start.log" >&2; exit 1; }
source "$work/server/env"
sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth $((2 * seconds + 20)) sine 440 gain -10
paplay --device=tessmar_singer "$work/tone.wav" &
pids+=($!)
sleep 2 # the server and the X server settle

measure() {
    local label=$1
    env -u ALSA_CONFIG_PATH DISPLAY=$display QT_QPA_PLATFORM=xcb TESSMAR_INPUT=alsa:pulse \
        TESSMAR_MIXER=pulse XDG_CONFIG_HOME=$work "$build/app/tessmar" x "$work/take.wav" \
        2>"$work/stderr" &
    local pid=$!
    sleep 3 # start-up is not what is measured
    local share
    share=$(processor_share "$pid" "$seconds")
    kill -INT "$pid"
    wait "$pid" || true
    # That the tone was heard: the blocks that show A-3.
    local heard
    heard=$("$build/tools/tessmar-notes" "$work/take.wav" |
        awk -F, 'NR > 1 { n++; if ($4 == "A-3") a++ } END { printf "%d of %d", a, n }')
    printf '%-28s processor %s, A-3 in %s blocks\n' "$label" "$share" "$heard"
}

measure "quiet machine"
load_both_cores pids
measure "both cores busy"
