#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A long real-time take through a sound server of its own, not part of CI: Tessmar in
# command-line mode on the offscreen platform records the built-in singer, played into a
# private PulseAudio, for MINUTES (30 by default), then SIGINT ends and saves the take.
# Passes when no input was lost, the file holds the whole take, and the program's memory
# grew by no more than the audio it holds (1.01 times, plus 8 MiB). Its resident size is
# logged every 10 s to rss.csv in the work folder (kept with KEEP=1).
# Usage: bench/soak-take.sh BUILD_DIR [MINUTES]   (as root, with no sound server running)
set -euo pipefail
build=$(realpath "$1")
seconds=${SOAK_SECONDS:-$(( ${2:-30} * 60 ))} # SOAK_SECONDS: a shorter try
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-soak-XXXXXX")
fixture=$(dirname "$(realpath "$0")")/../tests/platform/sound_server.sh
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    bash "$fixture" stop "$work/server" >/dev/null || true
    [ -n "${KEEP:-}" ] && echo "soak: work folder $work" || rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "soak: $*" >&2
    exit 1
}

# The tests' sound server: a default source that hears the singer's sink, at the capture rate.
bash "$fixture" start pulseaudio 11025 "$work/server" >"$work/start.log" ||
    [ -f "$work/server/skip" ] ||
    fail "PulseAudio startet nicht: $(cat "$work/start.log")"
[ -f "$work/server/skip" ] && fail "$(cat "$work/server/skip")"
source "$work/server/env"
unset TESSMAR_INPUT ALSA_CONFIG_PATH
sleep 2 # the server settles before the first stream

"$build/tools/tessmar-demo" "$work/sung.wav" 60
# paplay complains when it is cut off at the end; that is no failure.
(while :; do paplay --device=tessmar_singer "$work/sung.wav" 2>/dev/null; done) &
pids+=($!)
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$HOME "$build/app/tessmar" x "$work/take.wav" 100 \
    2> "$work/stderr" &
program=$!
pids+=("$program")

rss() { awk '/^VmRSS:/ { print $2 * 1024 }' "/proc/$program/status"; }
sleep 10 # start-up is not what is measured
echo "elapsed_s,rss_bytes" > "$work/rss.csv"
first=$(rss)
start=$(date +%s)
while :; do
    now=$(( $(date +%s) - start ))
    last=$(rss)
    echo "$now,$last" >> "$work/rss.csv"
    (( now >= seconds )) && break
    sleep 10
done
kill -INT "$program"
for _ in $(seq 600); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$program" 2>/dev/null && fail "Tessmar endet nach SIGINT nicht"
wait "$program" || fail "Tessmar endet mit Status $?"

lost=$(grep -o '[0-9]* Frames gingen verloren' "$work/stderr" | cut -d' ' -f1 || true)
[ -z "$lost" ] || fail "$lost Frames gingen verloren"
bytes=$(( $(stat -c %s "$work/take.wav") - 44 ))
# The whole take, less the program's start-up (up to 2 s).
(( bytes >= (seconds + 8) * 44100 )) || fail "nur $bytes Bytes aufgenommen"
# Memory may grow only with the audio recorded while it was measured.
grown=$(( last - first ))
audio=$(( (now + 1) * 44100 ))
awk -v n="$now" -v g="$grown" -v a="$audio" 'BEGIN {
    printf "soak: %d s, memory grew %d bytes for %d bytes of audio (%.3f×)\n", n, g, a, g / a }'
(( grown <= audio * 101 / 100 + 8 * 1024 * 1024 )) || fail "Speicher wuchs um $grown Bytes für $audio Bytes Ton"
echo "soak: bestanden: 0 Frames verloren, $bytes Bytes gespeichert"
