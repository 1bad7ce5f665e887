#!/usr/bin/env bash
# The sound server dies during a take: starts a PulseAudio of its own (a null sink whose
# monitor is the default source), lets Tessmar record from it in command-line mode on the
# offscreen platform, and kills the server mid-take. Tessmar must end the take by itself,
# save what it had, say why on standard error and exit with status 1.
# Usage: tools/pulse-lost-test.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-lost-XXXXXX")
mkdir -m 700 "$work/run" "$work/home"
pid=
program=
cleanup() {
    [ -n "$program" ] && kill -9 "$program" 2>/dev/null || true
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
    [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "pulse-lost-test: $*" >&2
    [ -f "$work/err" ] && cat "$work/err" >&2
    exit 1
}

socket=$work/run/native
cat > "$work/server.pa" <<SCRIPT
load-module module-native-protocol-unix auth-anonymous=1 socket=$socket
load-module module-null-sink sink_name=tessmar_sink rate=44100 channels=2
set-default-sink tessmar_sink
set-default-source tessmar_sink.monitor
SCRIPT

export HOME=$work/home XDG_RUNTIME_DIR=$work/run PULSE_SERVER=unix:$socket
unset TESSMAR_INPUT ALSA_CONFIG_PATH
pulseaudio -n -F "$work/server.pa" --daemonize=no --exit-idle-time=-1 \
    --log-target=file:"$work/server.log" &
pid=$!
disown "$pid" # its death below is intended, not a job to report
for _ in $(seq 50); do
    pactl info > /dev/null 2>&1 && break
    sleep 0.1
done
pactl info > /dev/null 2>&1 || fail "PulseAudio startet nicht: $(cat "$work/server.log")"

QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/home "$build/app/tessmar" x "$work/take.wav" 50 \
    2> "$work/err" &
program=$!
sleep 3
kill -9 "$pid" # the server dies, as a crashed or ended session's would
pid=
for _ in $(seq 150); do # hang guard only
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$program" 2>/dev/null && fail "Tessmar endet nicht, nachdem der Server weg ist"
status=0
wait "$program" || status=$?
program=
[ "$status" -eq 1 ] || fail "Exit-Status $status statt 1"
grep -q "nicht mehr erreichbar" "$work/err" || fail "kein Grund auf der Standardfehlerausgabe"
grep -q "Überläufe" "$work/err" && fail "der Verlust des Servers zählt als Überlauf"
[ -f "$work/take.wav" ] || fail "keine Aufnahme gespeichert"
size=$(stat -c %s "$work/take.wav")
# The server takes a moment to deliver; a few blocks at least were recorded.
(( size - 44 >= 4 * 4096 )) || fail "nur $size Bytes gespeichert"
echo "pulse-lost-test: bestanden ($((size - 44)) Bytes gespeichert, Status 1)"
