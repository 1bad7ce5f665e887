#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A private sound server for the tests, the same shape on PulseAudio and on PipeWire:
#
#   sound_server.sh start SERVER RATE DIR   SERVER is pulseaudio or pipewire
#   sound_server.sh stop DIR
#
# It has a default sink "tessmar_sink" and a second sink "tessmar_singer", whose sound the
# default source "tessmar_mic" hears: what is played into tessmar_singer is what a
# microphone records. Both sinks run at RATE frames/s, stereo. Everything lives in DIR;
# `source DIR/env` gives a shell the server's environment (HOME, XDG_RUNTIME_DIR,
# PULSE_SERVER), and ALSA's "pulse" PCM and control reach the server from there.
#
# PipeWire speaks the pulse protocol through its own module here (Debian's pipewire-pulse
# and pipewire-alsa packages would remove PulseAudio), with WirePlumber as its session
# manager, under a D-Bus session of its own.
#
# Started only as root, only when the server's programs are installed and, for PulseAudio,
# only while no other PulseAudio runs (a user's own server is left alone; with
# TESSMAR_SERVER_ALONGSIDE=1 it starts all the same, its sockets are its own); otherwise
# DIR/skip tells why, start and stop exit with 77 (skipped) and the tests that use it skip.
set -uo pipefail
action=${1:-}

stop_server() {
    [ -f "$dir/pid" ] || return 0
    local pid
    pid=$(cat "$dir/pid")
    # The server runs in a process group of its own: D-Bus, PipeWire and WirePlumber.
    kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL -- "-$pid" 2>/dev/null
    rm -f "$dir/pid"
}

skip() {
    echo "$1" >"$dir/skip"
    echo "$server test skipped: $1"
    exit 77
}

start_pulseaudio() {
    command -v pulseaudio >/dev/null && command -v pactl >/dev/null ||
        skip "pulseaudio or pactl is not installed"
    # Live processes only: an exited server not yet reaped runs nothing.
    if [ -z "${TESSMAR_SERVER_ALONGSIDE:-}" ] &&
        { pgrep -x -r R,S,D pulseaudio || pgrep -x -r R,S,D pipewire-pulse; } >/dev/null; then
        skip "a sound server is already running"
    fi
    cat >"$dir/server.pa" <<SCRIPT
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
load-module module-null-sink sink_name=tessmar_sink rate=$rate channels=2
load-module module-null-sink sink_name=tessmar_singer rate=$rate channels=2
load-module module-remap-source source_name=tessmar_mic master=tessmar_singer.monitor
set-default-sink tessmar_sink
set-default-source tessmar_mic
# Without a stream into the sink, streams stall a second or two after it falls idle.
load-module module-null-source source_name=tessmar_silence
load-module module-loopback source=tessmar_silence sink=tessmar_singer
SCRIPT
    setsid pulseaudio -n -F "$dir/server.pa" --daemonize=no --exit-idle-time=-1 \
        --use-pid-file=no --disable-shm=yes --log-target=file:"$dir/log" \
        </dev/null >/dev/null 2>&1 &
    echo $! >"$dir/pid"
}

start_pipewire() {
    for program in pipewire wireplumber dbus-run-session pactl; do
        command -v $program >/dev/null || skip "$program is not installed"
    done
    mkdir -p "$dir/config/pipewire/pipewire.conf.d"
    cat >"$dir/config/pipewire/pipewire.conf.d/tessmar.conf" <<CONF
context.properties = { default.clock.rate = $rate }
context.objects = [
    { factory = adapter
      args = { factory.name = support.null-audio-sink node.name = tessmar_sink
               media.class = Audio/Sink audio.position = [ FL FR ] audio.rate = $rate
               priority.session = 2000 object.linger = true } }
    { factory = adapter
      args = { factory.name = support.null-audio-sink node.name = tessmar_singer
               media.class = Audio/Sink audio.position = [ FL FR ] audio.rate = $rate
               priority.session = 100 object.linger = true } }
]
context.modules = [
    # The microphone: a source that plays what it captures from tessmar_singer.
    { name = libpipewire-module-loopback
      args = { capture.props = { node.name = tessmar_mic_in stream.capture.sink = true
                                 target.object = tessmar_singer node.passive = true
                                 audio.position = [ FL FR ] }
               playback.props = { node.name = tessmar_mic media.class = Audio/Source
                                  audio.position = [ FL FR ] priority.session = 2000 } } }
    { name = libpipewire-module-protocol-pulse
      args = { server.address = [ "unix:$dir/native" ] } }
]
CONF
    XDG_CONFIG_HOME=$dir/config setsid dbus-run-session -- \
        bash -c 'pipewire & sleep 0.3; wireplumber & wait' </dev/null >"$dir/log" 2>&1 &
    echo $! >"$dir/pid"
}

case $action in
start)
    [ $# -eq 4 ] || exec "$0" usage
    server=$2 rate=$3 dir=$4
    stop_server # one of ours left over from an interrupted run
    rm -rf "$dir"
    mkdir -p "$dir/home" && mkdir -m 700 "$dir/runtime"
    [ "$(id -u)" -eq 0 ] || skip "not running as root"
    cat >"$dir/env" <<ENV
export HOME=$dir/home XDG_RUNTIME_DIR=$dir/runtime PULSE_SERVER=unix:$dir/native
export PULSE_RUNTIME_PATH=$dir/runtime PULSE_STATE_PATH=$dir/state
ENV
    source "$dir/env"
    case $server in
    pulseaudio) start_pulseaudio ;;
    pipewire) start_pipewire ;;
    *) exec "$0" usage ;;
    esac
    # Ready once the sinks are there and the defaults chosen.
    for _ in $(seq 100); do
        if pactl info 2>/dev/null | grep -q "Default Source: tessmar_mic"; then
            exit 0
        fi
        sleep 0.1
    done
    echo "$server did not start:"
    cat "$dir/log"
    stop_server
    exit 1
    ;;
stop)
    [ $# -eq 2 ] || exec "$0" usage
    dir=$2
    stop_server
    if [ -f "$dir/skip" ]; then
        exit 77
    fi
    ;;
*)
    echo "usage: $0 start pulseaudio|pipewire RATE DIR | stop DIR" >&2
    exit 2
    ;;
esac
