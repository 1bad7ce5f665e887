#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Calls that could keep the program waiting for good: a FIFO named as the input file, and a
# sound server stopped (SIGSTOP) under the mixer setup and under the recording device's
# open; tessmar-pitch, which keeps trying to open the device, under a stopped server too.
# One SIGTERM must end the program within 2 s every time.
# Usage: slow_call_test.sh PATH_TO_TESSMAR [SOUND_SERVER_DIR [PATH_TO_TESSMAR_PITCH]]
set -uo pipefail
tessmar=$(realpath "$1")
server=${2:-}
pitch=${3:+$(realpath "$3")}
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-slow-XXXXXX")
server_pid=
trap '[[ -n $server_pid ]] && kill -CONT "$server_pid"; rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/runtime" && chmod 700 "$work/runtime"
export QT_QPA_PLATFORM=offscreen HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
failures=0

# ends_on_term WHAT ENV...: runs a take for 1.5 s, then one SIGTERM; it must be over 2 s later.
# With PROGRAM set, that program runs instead of a take.
ends_on_term() {
    local what=$1
    shift
    if [[ -n ${PROGRAM:-} ]]; then
        env "$@" "$PROGRAM" 2>"$work/stderr" &
    else
        env "$@" "$tessmar" x "$work/take.wav" 2>"$work/stderr" &
    fi
    local pid=$!
    sleep 1.5
    kill -TERM "$pid"
    for _ in $(seq 20); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "FAIL: $what: still running 2 s after SIGTERM"
        kill -KILL "$pid"
        failures=$((failures + 1))
    fi
    wait "$pid"
}

mkfifo "$work/fifo"
ends_on_term "FIFO as input" TESSMAR_MIXER=tessmar-test-no-mixer TESSMAR_INPUT=file:$work/fifo
grep -q "keine gewöhnliche Datei" "$work/stderr" || {
    echo "FAIL: FIFO as input: not refused with a reason"
    failures=$((failures + 1))
}

if [[ -z $server || -f $server/skip || ! -f $server/pid ]]; then
    echo "stopped sound server: skipped, $(cat "$server/skip" 2>/dev/null || echo "no server")"
else
    source "$server/env"
    export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime # the server's are its own
    server_pid=$(cat "$server/pid")
    kill -STOP "$server_pid"
    ends_on_term "stopped server, mixer" TESSMAR_MIXER=pulse TESSMAR_INPUT=demo
    ends_on_term "stopped server, device" TESSMAR_MIXER=tessmar-test-no-mixer \
        TESSMAR_INPUT=alsa:pulse
    grep -q "antwortet nicht" "$work/stderr" || {
        echo "FAIL: stopped server, device: not said that it does not answer"
        failures=$((failures + 1))
    }
    if [[ -n $pitch ]]; then
        PROGRAM=$pitch ends_on_term "stopped server, tessmar-pitch" TESSMAR_INPUT=alsa:pulse
    fi
fi
[[ $failures == 0 ]] && echo "no call kept the program waiting"
exit $((failures > 0))
