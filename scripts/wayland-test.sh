#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window on Wayland: a headless Weston and no X server at all, Qt's Wayland platform,
# a take in command-line mode from the built-in singer. Checks that the window comes up
# and records, and that the position stored as X11 left it stays: on Wayland a window can
# neither place itself nor learn where it is (docs/wayland.md).
# Usage: scripts/wayland-test.sh BUILD_DIR   (needs weston and qt6-wayland)
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-wayland-XXXXXX")
weston_pid=
cleanup() {
    [ -z "$weston_pid" ] || kill "$weston_pid" 2>/dev/null || true
    wait
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "wayland-test: $*" >&2
    exit 1
}

unset DISPLAY
export HOME=$work XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work/config
export WAYLAND_DISPLAY=tessmar-wayland QT_QPA_PLATFORM=wayland
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --width=1024 --height=768 \
    --idle-time=0 --log="$work/weston.log" &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$work/$WAYLAND_DISPLAY" ] && break
    sleep 0.1
done
[ -S "$work/$WAYLAND_DISPLAY" ] || fail "weston did not start: $(tail -3 "$work/weston.log")"

stored="NormPos=100,50,652,446"
mkdir -p "$XDG_CONFIG_HOME"
printf '[TMainForm]\nPixelsPerInch=96\n%s\n' "$stored" >"$XDG_CONFIG_HOME/tessmar.INI"
TESSMAR_INPUT=demo TESSMAR_MIXER=tessmar-no-mixer \
    "$build/app/tessmar" x "$work/take.wav" 30 2>"$work/stderr" &
app=$!
sleep 4
kill -INT "$app"
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || fail "tessmar ended with status $status: $(cat "$work/stderr")"
notes=$("$build/tools/tessmar-notes" "$work/take.wav" |
    awk -F, 'NR > 1 && $4 != "" { n++ } END { print n + 0 }')
[ "$notes" -gt 0 ] || fail "no note in the take"
ini=$(cat "$XDG_CONFIG_HOME/tessmar.INI")
grep -qx "Visible=[01]" <<<"$ini" || fail "the placement was not saved: $ini"
grep -qx "$stored" <<<"$ini" && ! grep -q "NormPos(" <<<"$ini" ||
    fail "the stored position changed: $ini"
echo "wayland: the window recorded $notes blocks with a note; the stored position stayed"
