#!/usr/bin/env bash
# A private PulseAudio server for the mixer tests, with a null sink and a null source:
#   pulse_server.sh start DIR   starts it, its socket is DIR/native
#   pulse_server.sh stop DIR    stops it
# It is started only as root and only while no sound server runs on the machine (a
# user's own server is left alone); otherwise DIR/skip tells why and the test skips.
set -uo pipefail
action=$1
dir=$2

stop_server() {
    [ -f "$dir/pid" ] || return 0
    local pid
    pid=$(cat "$dir/pid")
    kill "$pid" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$dir/pid"
}

skip() {
    echo "$1" >"$dir/skip"
    echo "PulseAudio test skipped: $1"
    exit 0
}

case $action in
start)
    stop_server # one of ours left over from an interrupted run
    rm -rf "$dir"
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] || skip "not running as root"
    command -v pulseaudio >/dev/null && command -v pactl >/dev/null ||
        skip "pulseaudio or pactl is not installed"
    # Live processes only: an exited server not yet reaped runs nothing.
    if pgrep -x -r R,S,D pulseaudio >/dev/null || pgrep -x -r R,S,D pipewire-pulse >/dev/null; then
        skip "a sound server is already running"
    fi
    export HOME=$dir XDG_RUNTIME_DIR=$dir PULSE_RUNTIME_PATH=$dir/runtime
    export PULSE_STATE_PATH=$dir/state
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
        -L "module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
        -L "module-null-sink sink_name=tessmar_sink" \
        -L "module-null-source source_name=tessmar_source" \
        </dev/null >"$dir/log" 2>&1 &
    echo $! >"$dir/pid"
    for _ in $(seq 100); do
        PULSE_SERVER=unix:$dir/native pactl info >/dev/null 2>&1 && exit 0
        sleep 0.1
    done
    echo "PulseAudio did not start:"
    cat "$dir/log"
    stop_server
    exit 1
    ;;
stop)
    stop_server
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
