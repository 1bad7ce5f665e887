#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# tessmar-pitch as a desktop runs it: the window on an X server (Xvfb) and a sung vowel
# (A-3 with a vibrato of 60 cents, rendered by tessmar-pitch-accuracy) played over and over
# into a PulseAudio at 44.1 kHz shaped as a desktop has it (the user's own server with its
# defaults: shared memory, a null sink as output, the singer's sink's monitor as the default
# source, nothing else recording), heard through ALSA's "pulse" PCM. Two runs of SECONDS
# each after a 3 s start:
#   - a quiet machine: processor time (user + system, all threads, from /proc/PID/stat) as
#     a share of the wall time, Lingot's beside it in the same run when it is installed
#     (hearing the same source); the median and spread of the per-second shares, since a
#     virtual machine's speed wanders by a fifth within minutes and Lingot's share with it;
#     and tessmar-pitch's resident memory every 10 s;
#   - both cores kept busy by two loops: processor share again, and the latency from the
#     device handing back a hop to the end of the paint that shows it (TESSMAR_LATENCY_LOG),
#     and where the slowest hundredth of the updates waited.
# Usage: [QPA=offscreen] [QUIET_ONLY=1] [KEEP=1] [EXERCISE=1 | SONG=1] bench/pitch-desktop.sh BUILD_DIR RENDERER [SECONDS]
#   BUILD_DIR has tools/tessmar-pitch (a Release build); RENDERER is a
#   tessmar-pitch-accuracy (any build). With xvfb, sox, pulseaudio and pulseaudio-utils;
#   as a normal user, as a desktop runs it (root works too).
set -euo pipefail
source "$(dirname "$(realpath "$0")")/processor-share.sh"
build=$(realpath "$1")
render=$(realpath "$2")
seconds=${3:-60}
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-pitch-XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -n "${KEEP:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp 2>"$work/xvfb.log" &
pids+=($!)
server=$work/server
mkdir -m 700 "$server"
cat >"$server/server.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$server/native
load-module module-null-sink sink_name=out rate=44100 channels=2
load-module module-null-sink sink_name=singer rate=44100 channels=2
set-default-sink out
set-default-source singer.monitor
PA
export HOME=$server XDG_RUNTIME_DIR=$server PULSE_RUNTIME_PATH=$server \
    PULSE_STATE_PATH=$server/state PULSE_SERVER=unix:$server/native
pulseaudio -n -F "$server/server.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --log-target=file:"$server/log" </dev/null >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null || { echo "the sound server did not start: $server/log" >&2; exit 1; }
"$render" render vibrato "$work/voice.wav"
# EXERCISE=1: a scale of 24 rounds runs in the window, its targets drawn and the reference
# played along with every note.
if [ -n "${EXERCISE:-}" ]; then
    mkdir -p "$server/.config"
    printf '[Uebung]\nVergleichston=mit\n' >"$server/.config/tessmar-pitch.INI"
fi
# SONG=1: a song of 75 s sung along, a note every half second, its own audio (Ogg Vorbis,
# two sines rendered by sox) decoded and played.
if [ -n "${SONG:-}" ]; then
    sox -n -r 44100 -c 2 "$work/begleitung.ogg" synth 80 sine 220 sine 330 vol 0.2
    { printf '#TITLE:Messlied\n#ARTIST:Tessmar\n#AUDIO:begleitung.ogg\n#BPM:300\n#GAP:2000\n'
      for beat in $(seq 0 10 1500); do echo ": $beat 8 $((beat / 10 % 12 - 3)) la"; done
      echo E; } >"$work/lied.txt"
fi
(while :; do paplay --device=singer "$work/voice.wav"; done) &
pids+=($!)
sleep 2

# share PID...: the processor share of each PID over `seconds`, one line each: the mean
# from /proc/PID/stat, then the median and the 10th to 90th percentile of the shares of
# each second (all threads' schedstat).
ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'; }
shares() {
    local start end before=() after=() last=() now i s
    start=$(date +%s.%N)
    for i in "$@"; do before+=("$(awk '{ print $14 + $15 }' "/proc/$i/stat")") last+=("$(ns "$i")"); done
    for s in $(seq "$seconds"); do
        sleep 1
        for i in "${!last[@]}"; do
            now=$(ns "${@:i+1:1}")
            echo "$((now - last[i]))" >>"$work/seconds-$i"
            last[i]=$now
        done
    done
    for i in "$@"; do after+=("$(awk '{ print $14 + $15 }' "/proc/$i/stat")"); done
    end=$(date +%s.%N)
    for i in "${!before[@]}"; do
        awk -v t="$((after[i] - before[i]))" -v hz="$(getconf CLK_TCK)" -v s="$start" \
            -v e="$end" 'BEGIN { printf "%.2f %% of one core over %.0f s", 100 * t / hz / (e - s), e - s }'
        sort -n "$work/seconds-$i" | awk '{ v[NR] = $1 / 1e7 } END {
            printf "; each second: median %.2f %%, 10th-90th percentile %.2f-%.2f %%\n",
                   v[int((NR + 1) / 2)], v[int(NR / 10) + 1], v[int(NR * 0.9)] }'
        rm -f "$work/seconds-$i"
    done
}

# threads PID: each thread's processor time and time slices (about its wake-ups) over 20 s,
# from /proc/PID/task/TID/schedstat.
threads() {
    local t before=()
    for t in /proc/$1/task/*; do before+=("$(basename "$t") $(awk '{ print $1, $3 }' "$t/schedstat")"); done
    sleep 20
    for t in /proc/$1/task/*; do echo "$(basename "$t") $(awk '{ print $1, $3 }' "$t/schedstat") $(tr ' ' _ <"$t/comm")"; done |
        awk -v before="$(printf '%s\n' "${before[@]}")" 'BEGIN { n = split(before, b, "\n")
            for (i = 1; i <= n; i++) { split(b[i], f, " "); ns[f[1]] = f[2]; sl[f[1]] = f[3] } }
            { printf "  %-16s %6.1f ms %5d slices\n", $4, ($2 - ns[$1]) / 1e6, $3 - sl[$1] }'
}

# The latency record is kept in memory until the end, so only the busy run keeps one: the
# quiet run's resident memory is the program's own.
start_pitch() {
    env -u ALSA_CONFIG_PATH DISPLAY=$display QT_QPA_PLATFORM=${QPA:-xcb} TESSMAR_INPUT=alsa:pulse \
        TESSMAR_OUTPUT=pulse ${2:+TESSMAR_LATENCY_LOG="$work/latency-$1.txt"} \
        "$build/tools/tessmar-pitch" --log "$work/log-$1.csv" \
        ${EXERCISE:+--exercise tonleiter --start E-2 --rounds 24 --bpm 80} \
        ${SONG:+--song "$work/lied.txt"} 2>"$work/stderr-$1" &
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
# Every 10 s: resident kB in all, of it anonymous (heap, stacks), file-backed (libraries,
# fonts) and shared memory (X shm), and the number of mappings, to tell a heap leak from
# mappings that come and go.
(while kill -0 "$pitch" 2>/dev/null; do
    echo "$(awk '/^(VmRSS|RssAnon|RssFile|RssShmem):/ { printf "%s ", $2 }' "/proc/$pitch/status")$(wc -l <"/proc/$pitch/maps")"
    sleep 10
done) >"$work/rss.txt" 2>/dev/null &
sampler=$!
threads "$pitch" >"$work/threads.txt" &
threads_pid=$!
mapfile -t result < <(shares "$pitch" ${lingot_pid:+"$lingot_pid"})
echo "tessmar-pitch: ${result[0]}"
echo "its threads over 20 s:"
wait "$threads_pid" || true
cat "$work/threads.txt"
[ -n "$lingot_pid" ] && echo "lingot:        ${result[1]}"
kill -INT "$pitch"
wait "$pitch" || true
kill "$sampler" 2>/dev/null || true
[ -n "$lingot_pid" ] && kill "$lingot_pid"
awk '{ if (NR == 1) f = $1; l = $1; if ($1 > m) m = $1 }
     END { printf "resident memory: %d kB at the start, %d kB at the end, at most %d kB (%d samples)\n", f, l, m, NR }' "$work/rss.txt"
awk 'NR == 1 { split($0, f) } { split($0, l) }
     END { printf "of it anonymous %d -> %d kB, files %d -> %d kB, shared %d -> %d kB; mappings %d -> %d\n",
           f[2], l[2], f[3], l[3], f[4], l[4], f[5], l[5] }' "$work/rss.txt"
heard quiet | sed "s/^/log: /"
cat "$work/stderr-quiet"
[ -n "${QUIET_ONLY:-}" ] && exit 0

echo "=== both cores busy ==="
load_both_cores pids
start_pitch busy latency
sleep 3
echo "tessmar-pitch: $(shares "$pitch")"
kill -INT "$pitch"
wait "$pitch" || true
sort -n "$work/latency-busy.txt" | awk '{ v[NR] = $1 } END {
    printf "latency, hop handed back to painted: %d updates, median %.2f ms, 99th percentile %.2f ms, at most %.2f ms\n",
           NR, v[int(NR / 2) + 1] / 1000, v[int(NR * 0.99)] / 1000, v[NR] / 1000 }'
# The stages of the slowest hundredth: where the tail waits.
sort -n "$work/latency-busy.txt" | awk '{ l[NR] = $0 } END {
    for (i = int(NR * 0.99); i <= NR; i++) { split(l[i], f, " "); for (k = 2; k <= 5; k++) s[k] += f[k] / 1000; n++ }
    printf "slowest hundredth, mean ms: to the estimate %.2f, to the window %.2f, to the paint %.2f, painting %.2f\n",
           s[2] / n, s[3] / n, s[4] / n, s[5] / n }'
cat "$work/stderr-busy"
