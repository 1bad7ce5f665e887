#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes and logs of a normal user, "singer", next to a hostile one, "mallory", and on a
# full disk: the cases that need users and mounts, so root runs them (CI does). Both
# users are made if missing. Records from the demo voice on the offscreen platform; no
# display and no sound card needed. Usage: scripts/hostile-users-test.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
if [ "$(id -u)" -ne 0 ]; then
    echo "hostile-users-test: übersprungen (braucht root, um Benutzer und Einhängungen anzulegen)"
    exit 0
fi
for user in singer mallory; do
    id "$user" >/dev/null 2>&1 || useradd --create-home "$user"
done
work=$(mktemp -d /tmp/tessmar-hostile-XXXXXX)
chmod 755 "$work"
cleanup() {
    pkill -9 -u singer -f "$build/" 2>/dev/null || true
    mountpoint -q "$work/small" && umount "$work/small"
    [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
failed=0
fail() {
    echo "hostile-users-test: FEHLER: $*" >&2
    failed=1
}
passed() { echo "hostile-users-test: bestanden: $*"; }

# The singer's own home and temporary folder; the temporary folder is shared, as /tmp is,
# and no runtime folder is set, as under su, cron or ssh without a login session.
home=$work/home tmp=$work/tmp
install -d -o singer -g singer -m 700 "$home"
install -d -m 1777 "$tmp"
as() {
    local user=$1
    shift
    setpriv --reuid="$user" --regid="$user" --init-groups -- env -i PATH=/usr/bin:/bin \
        HOME="$home" TMPDIR="$tmp" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen TESSMAR_INPUT=demo \
        TESSMAR_MIXER=none "$@"
}
# As the singer, in the background: $! is the program's own pid (setpriv and env exec it),
# not a subshell's, so that signals reach it.
start() {
    setpriv --reuid=singer --regid=singer --init-groups -- env -i PATH=/usr/bin:/bin \
        HOME="$home" TMPDIR="$tmp" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen TESSMAR_INPUT=demo \
        TESSMAR_MIXER=none "$@" &
}
# A command-line take of about the given seconds into a file; sets $status.
take() {
    local seconds=$1 file=$2 err=$3
    start "$build/app/tessmar" x "$file" 50 2>"$err"
    local pid=$!
    sleep "$seconds"
    kill -INT "$pid"
    status=0
    wait "$pid" || status=$?
}

# 1. Two takes into one file, with the lock folder squatted by mallory: the first to stop
# keeps its file, the second is told, saved beside it, and fails the run.
as mallory mkdir -m 755 "$tmp/tessmar-$(id -u singer)"
start "$build/app/tessmar" x "$home/same.wav" 50 2>"$work/first.err"
first=$!
sleep 1
start "$build/app/tessmar" x "$home/same.wav" 50 2>"$work/second.err"
second=$!
sleep 2
kill -INT "$first"
wait "$first" || fail "die erste Aufnahme endet nicht mit Status 0: $(cat "$work/first.err")"
sum=$(md5sum <"$home/same.wav")
sleep 1
kill -INT "$second"
status=0
wait "$second" || status=$?
if [ "$(md5sum <"$home/same.wav")" != "$sum" ]; then
    fail "die zweite Aufnahme hat die erste ersetzt"
elif [ "$status" -ne 1 ] || ! ls "$home"/tessmar-*.wav >/dev/null 2>&1; then
    fail "die zweite Aufnahme: Status $status, $(ls "$home"), $(cat "$work/second.err")"
elif ! grep -q "keine Sperre" "$work/first.err"; then
    fail "die fehlende Sperre wird nicht gesagt: $(cat "$work/first.err")"
else
    passed "zwei Aufnahmen in eine Datei bei besetztem Sperrordner"
fi
rm -f "$home"/*.wav

# 2. tessmar-pitch --log never writes through another user's link, nor over a file that
# isn't a log of its own, nor into a FIFO, and says when a write fails.
take 2 "$home/voice.wav" "$work/voice.err" # the demo voice, as the input to analyse
cp "$home/voice.wav" "$work/voice.wav" && chmod 644 "$work/voice.wav"
install -d -m 777 "$work/shared"
echo precious >"$home/precious" && chown singer: "$home/precious" && chmod 755 "$home"
as mallory ln -s "$home/precious" "$work/shared/log.csv"
cp "$work/voice.wav" "$home/take.wav" && chown singer: "$home/take.wav"
as singer mkfifo "$home/fifo"
pitch() {
    local log=$1
    status=0
    as singer env TESSMAR_INPUT="file:$work/voice.wav" timeout 20 \
        "$build/tools/tessmar-pitch" --log "$log" >/dev/null 2>"$work/pitch.err" || status=$?
}
pitch "$work/shared/log.csv"
[ "$(cat "$home/precious")" = precious ] && [ "$status" -ne 0 ] &&
    passed "--log durch den Link eines anderen (Status $status)" ||
    fail "--log durch den Link eines anderen: Status $status, $(cat "$work/pitch.err")"
pitch "$home/take.wav"
cmp -s "$work/voice.wav" "$home/take.wav" && [ "$status" -eq 1 ] &&
    passed "--log auf eine Aufnahme wird abgelehnt" ||
    fail "--log auf eine Aufnahme: Status $status, $(cat "$work/pitch.err")"
pitch "$home/fifo"
[ "$status" -eq 1 ] && passed "--log auf ein FIFO wird abgelehnt" ||
    fail "--log auf ein FIFO: Status $status"
pitch /dev/full
[ "$status" -eq 1 ] && grep -q . "$work/pitch.err" && passed "--log auf /dev/full" ||
    fail "--log auf /dev/full: Status $status, $(cat "$work/pitch.err")"
status=0
as singer "$build/tools/tessmar-notes" "$work/voice.wav" >/dev/full 2>"$work/notes.err" ||
    status=$?
[ "$status" -eq 1 ] && grep -q . "$work/notes.err" && passed "tessmar-notes > /dev/full" ||
    fail "tessmar-notes > /dev/full: Status $status"
chmod 700 "$home"

# 3. A disk of 1 MB and a take of about 660 KB: it fits once, as its journal. The take ends
# up whole, at its stop and after a SIGKILL alike, and no journal is left behind.
install -d "$work/small"
if mount -t tmpfs -o size=1m,mode=700 tmpfs "$work/small" 2>/dev/null; then
    chown singer: "$work/small"
    home=$work/small
    take 15 "$home/full.wav" "$work/full.err"
    size=$(stat -c %s "$home/full.wav" 2>/dev/null || echo 0)
    if [ "$status" -eq 0 ] && ((size > 600000)) && [ -z "$(ls -A "$home/.local/state/tessmar")" ]; then
        passed "eine volle Platte hält die Aufnahme ($size Bytes)"
    else
        fail "volle Platte: Status $status, $size Bytes, $(cat "$work/full.err")"
    fi
    rm -f "$home/full.wav"
    start "$build/app/tessmar" x "$home/killed.wav" 50 2>/dev/null
    killed=$!
    sleep 15
    kill -KILL "$killed"
    { wait "$killed"; } 2>/dev/null || true
    take 1 "$home/next.wav" "$work/next.err"
    recovered=$(ls "$home"/tessmar-*.wav 2>/dev/null | head -1)
    size=$(stat -c %s "$recovered" 2>/dev/null || echo 0)
    if [ "$status" -eq 0 ] && ((size > 600000)) && grep -q "unterbrochen; sie ist in" "$work/next.err"; then
        passed "eine unterbrochene Aufnahme auf voller Platte wird gerettet ($size Bytes)"
    else
        fail "Rettung auf voller Platte: Status $status, $size Bytes, $(cat "$work/next.err")"
    fi
else
    echo "hostile-users-test: volle Platte übersprungen (tmpfs lässt sich nicht einhängen)"
fi
exit "$failed"
