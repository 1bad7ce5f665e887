#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sound server dies during a take: starts the tests' private PulseAudio
# (tests/platform/sound_server.sh), lets Tessmar record from its default source in
# command-line mode on the offscreen platform, and kills the server mid-take. Tessmar must
# end the take by itself, save what it had, say why on standard error and exit with
# status 1. Usage: scripts/pulse-lost-test.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
fixture=$here/../tests/platform/sound_server.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-lost-XXXXXX")
program=
cleanup() {
    [ -n "$program" ] && kill -9 "$program" 2>/dev/null || true
    bash "$fixture" stop "$work/server" >/dev/null || true
    [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "pulse-lost-test: $*" >&2
    [ -f "$work/err" ] && cat "$work/err" >&2
    exit 1
}

TESSMAR_SERVER_ALONGSIDE=1 bash "$fixture" start pulseaudio 44100 "$work/server" \
    >"$work/start.log" || [ -f "$work/server/skip" ] ||
    fail "PulseAudio startet nicht: $(cat "$work/start.log")"
[ -f "$work/server/skip" ] && fail "$(cat "$work/server/skip")"
source "$work/server/env"
unset TESSMAR_INPUT ALSA_CONFIG_PATH
mkdir -m 700 "$work/home"

QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/home "$build/app/tessmar" x "$work/take.wav" 50 \
    2> "$work/err" &
program=$!
sleep 3
kill -9 "$(cat "$work/server/pid")" # the server dies, as a crashed or ended session's would
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
