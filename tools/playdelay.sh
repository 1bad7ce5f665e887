#!/usr/bin/env bash
# Runs tessmar-playdelay against a PulseAudio of its own, shaped like a desktop's: a null
# sink at 44.1 kHz as the default sink, its monitor as the default source, reached through
# ALSA's "default" PCM as the program reaches it. Usage: tools/playdelay.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-delay-XXXXXX")
mkdir -m 700 "$work/run" "$work/home"
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
socket=$work/run/native
cat > "$work/server.pa" <<SCRIPT
load-module module-native-protocol-unix auth-anonymous=1 socket=$socket
load-module module-null-sink sink_name=desk rate=44100 channels=2
set-default-sink desk
set-default-source desk.monitor
SCRIPT
export HOME=$work/home XDG_RUNTIME_DIR=$work/run PULSE_SERVER=unix:$socket
unset ALSA_CONFIG_PATH TESSMAR_OUTPUT
pulseaudio -n -F "$work/server.pa" --daemonize=no --exit-idle-time=-1 \
    --log-target=file:"$work/server.log" &
pid=$!
for _ in $(seq 50); do
    pactl info > /dev/null 2>&1 && break
    sleep 0.1
done
"$build/tools/tessmar-playdelay" default pulse
