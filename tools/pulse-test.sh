#!/usr/bin/env bash
# The program against a real sound server: starts a PulseAudio of its own (a null sink at
# 11025 Hz stereo whose monitor is the default source), plays the built-in singer into the
# sink and lets Tessmar record it in command-line mode on the offscreen platform, through
# ALSA's "default" PCM, until SIGINT ends the recording. The file's header, size and notes
# are checked. Usage: tools/pulse-test.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-pulse-XXXXXX")
mkdir -m 700 "$work/run" "$work/home"
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
    [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

socket=$work/run/native
cat > "$work/server.pa" <<SCRIPT
load-module module-native-protocol-unix auth-anonymous=1 socket=$socket
load-module module-null-sink sink_name=tessmar_sink rate=11025 channels=2 format=s16le
# The singer has a sink of its own, so that the program's mixer setup, which turns the
# default sink down to half, leaves the sung level alone.
load-module module-null-sink sink_name=tessmar_singer rate=11025 channels=2 format=s16le
load-module module-remap-source source_name=tessmar_mic master=tessmar_singer.monitor
set-default-sink tessmar_sink
set-default-source tessmar_mic
# Without a stream into the sink, streams stall a second or two after it falls idle.
load-module module-null-source source_name=tessmar_silence
load-module module-loopback source=tessmar_silence sink=tessmar_singer
SCRIPT

export HOME=$work/home XDG_RUNTIME_DIR=$work/run PULSE_SERVER=unix:$socket
unset TESSMAR_INPUT ALSA_CONFIG_PATH
pulseaudio -n -F "$work/server.pa" --daemonize=no --exit-idle-time=-1 \
    --log-target=file:"$work/server.log" &
pid=$!
sleep 2 # the server settles before the first stream
if ! pactl info > /dev/null 2>&1; then
    echo "pulse-test: PulseAudio startet nicht:" >&2
    cat "$work/server.log" >&2
    exit 1
fi

fail() {
    echo "pulse-test: $*" >&2
    exit 1
}

"$build/tools/tessmar-demo" "$work/sung.wav" 10
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/home "$build/app/tessmar" x "$work/heard.wav" 100 &
program=$!
sleep 0.5
paplay --device=tessmar_singer "$work/sung.wav" &
play=$!
sleep 6.5
kill -INT "$program" # ends the recording as "Abbrechen" does; it is saved, then the program ends
for _ in $(seq 100); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$program" 2>/dev/null && fail "Tessmar endet nach SIGINT nicht"
wait "$program" || fail "Tessmar endet mit Status $?"
kill "$play" 2>/dev/null || true
wait "$play" 2>/dev/null || true
[ -f "$work/heard.wav" ] || fail "keine Aufnahme gespeichert"
size=$(stat -c %s "$work/heard.wav")
(( (size - 44) % 4096 == 0 && size - 44 >= 6 * 44100 )) || fail "Dateigröße $size"
header=$(od -An -tx1 -N44 "$work/heard.wav" | tr -d ' \n')
[ "${header:0:8}" = 52494646 ] && [ "${header:16:8}" = 57415645 ] || fail "kein RIFF/WAVE"
# channels 2, 11025 Hz, 44100 bytes/s, 4 bytes a frame, 16 bits
[ "${header:44:24}" = 0200112b000044ac00000400 ] && [ "${header:68:4}" = 1000 ] ||
    fail "Format ${header:40:32}"
# The scale as the note display shows it: every note held for a few blocks, in order.
notes=$("$build/tools/tessmar-notes" "$work/heard.wav" | awk -F, 'NR > 1 { print $4 }' |
    uniq -c | awk '$1 >= 3 && $2 != "" { printf "%s ", $2 }')
echo "pulse-test: gehört: $notes"
case "$notes" in
*"C-4 D-4 E-4 F-4 G-4 A-4 "*) echo "pulse-test: bestanden" ;;
*) fail "die Tonleiter fehlt" ;;
esac
