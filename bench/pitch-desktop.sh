#!/usr/bin/env bash
# tessmar-pitch as a desktop runs it: the window on an X server (Xvfb) and a sung vowel
# (A-3 with a vibrato of 60 cents, rendered by tessmar-pitch-accuracy) played over and over
# into a private PulseAudio at 44.1 kHz (the tests' sound server), heard through ALSA's
# "pulse" PCM. Two runs of SECONDS each after a 3 s start:
#   - a quiet machine: processor time (user + system, all threads, from /proc/PID/stat) as
#     a share of the wall time, Lingot's beside it in the same run when it is installed
#     (hearing the same source), and tessmar-pitch's resident memory every 10 s;
#   - both cores kept busy by two loops: processor share again, and the latency from the
#     device handing back a hop to the end of the paint that shows it (TESSMAR_LATENCY_LOG).
# Usage: [QPA=offscreen] bench/pitch-desktop.sh BUILD_DIR RENDERER [SECONDS]
#   BUILD_DIR has tools/tessmar-pitch (a Release build); RENDERER is a
#   tessmar-pitch-accuracy (any build). As root, with xvfb, sox and pulseaudio-utils.
set -euo pipefail
source "$(dirname "$(realpath "$0")")/processor-share.sh"
build=$(realpath "$1")
render=$(realpath "$2")
seconds=${3:-60}
here=$(dirname "$(realpath "$0")")
fixture=$here/../tests/platform/sound_server.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-pitch-XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    bash "$fixture" stop "$work/server" >/dev/null 2>&1 || true
    [ -n "${KEEP:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp 2>"$work/xvfb.log" &
pids+=($!)
TESSMAR_SERVER_ALONGSIDE=1 bash "$fixture" start pulseaudio 44100 "$work/server" >"$work/start.log"
source "$work/server/env"
"$render" render vibrato "$work/voice.wav"
(while :; do paplay --device=tessmar_singer "$work/voice.wav"; done) &
pids+=($!)
sleep 2

# share PID...: the processor share of each PID over `seconds`, one line each.
shares() {
    local start end before=() after=() i
    start=$(date +%s.%N)
    for i in "$@"; do before+=("$(awk '{ print $14 + $15 }' "/proc/$i/stat")"); done
    sleep "$seconds"
    for i in "$@"; do after+=("$(awk '{ print $14 + $15 }' "/proc/$i/stat")"); done
    end=$(date +%s.%N)
    for i in "${!before[@]}"; do
        awk -v t="$((after[i] - before[i]))" -v hz="$(getconf CLK_TCK)" -v s="$start" \
            -v e="$end" 'BEGIN { printf "%.2f %% of one core over %.0f s\n", 100 * t / hz / (e - s), e - s }'
    done
}

start_pitch() {
    env -u ALSA_CONFIG_PATH DISPLAY=$display QT_QPA_PLATFORM=${QPA:-xcb} TESSMAR_INPUT=alsa:pulse \
        TESSMAR_OUTPUT=pulse TESSMAR_LATENCY_LOG="$work/latency-$1.txt" \
        "$build/tools/tessmar-pitch" --log "$work/log-$1.csv" 2>"$work/stderr-$1" &
    pitch=$!
}

heard() {
    awk -F, 'NR > 1 { n++; t = $1; if ($2 != "") p++; if ($3 ~ /^(G#|A|A#)-3$/) a++ }
        END { printf "%d updates in %.1f s of capture (%.1f a second), %d with a pitch, %d of them at A-3 +- a semitone\n",
              n, t, n / t, p, a }' "$work/log-$1.csv"
}

echo "=== quiet machine ==="
start_pitch quiet
lingot_pid=
if command -v lingot >/dev/null; then
    env DISPLAY=$display lingot >"$work/lingot.log" 2>&1 &
    lingot_pid=$!
    pids+=($lingot_pid)
fi
sleep 3
(while kill -0 "$pitch" 2>/dev/null; do
    awk '/VmRSS/ { print $2 }' "/proc/$pitch/status"
    sleep 10
done) >"$work/rss.txt" 2>/dev/null &
sampler=$!
mapfile -t result < <(shares "$pitch" ${lingot_pid:+"$lingot_pid"})
echo "tessmar-pitch: ${result[0]}"
[ -n "$lingot_pid" ] && echo "lingot:        ${result[1]}"
kill -INT "$pitch"
wait "$pitch" || true
kill "$sampler" 2>/dev/null || true
[ -n "$lingot_pid" ] && kill "$lingot_pid"
awk '{ if (NR == 1) f = $1; l = $1; if ($1 > m) m = $1 }
     END { printf "resident memory: %d kB at the start, %d kB at the end, at most %d kB (%d samples)\n", f, l, m, NR }' "$work/rss.txt"
heard quiet | sed "s/^/log: /"
cat "$work/stderr-quiet"

echo "=== both cores busy ==="
load_both_cores pids
start_pitch busy
sleep 3
echo "tessmar-pitch: $(shares "$pitch")"
kill -INT "$pitch"
wait "$pitch" || true
sort -n "$work/latency-busy.txt" | awk '{ v[NR] = $1 } END {
    printf "latency, hop handed back to painted: %d updates, median %.2f ms, 99th percentile %.2f ms, at most %.2f ms\n",
           NR, v[int(NR / 2) + 1] / 1000, v[int(NR * 0.99)] / 1000, v[NR] / 1000 }'
cat "$work/stderr-busy"
