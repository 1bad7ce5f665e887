#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs tessmar-playdelay against the tests' private PulseAudio at 44.1 kHz
# (tests/platform/sound_server.sh), shaped like a desktop's: the beeps go to the default
# sink through ALSA's "default" PCM as the program plays, and are heard on that sink's
# monitor. Usage: scripts/playdelay.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
fixture=$here/../tests/platform/sound_server.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-delay-XXXXXX")
cleanup() {
    bash "$fixture" stop "$work/server" >/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
TESSMAR_SERVER_ALONGSIDE=1 bash "$fixture" start pulseaudio 44100 "$work/server" >"$work/start.log" ||
    [ -f "$work/server/skip" ] || {
    echo "playdelay: PulseAudio startet nicht: $(cat "$work/start.log")" >&2
    exit 1
}
if [ -f "$work/server/skip" ]; then
    echo "playdelay: $(cat "$work/server/skip")" >&2
    exit 1
fi
source "$work/server/env"
unset ALSA_CONFIG_PATH TESSMAR_OUTPUT
# The monitor PCM records from the default sink's monitor, not the fixture's microphone.
export PULSE_SOURCE=tessmar_sink.monitor
"$build/tools/tessmar-playdelay" default pulse
