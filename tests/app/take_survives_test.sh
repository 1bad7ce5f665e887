#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program itself in command-line mode, with its take ended the hard way: killed, or
# its display gone. The take must come back as a WAV file beside the fallback takes, at
# most about the last second short. Also: file names that aren't UTF-8, or are 250 bytes
# long, are written exactly as given. Usage: take_survives_test.sh PATH_TO_TESSMAR
set -uo pipefail
tessmar=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-survives-XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    sed 's/^/    stderr: /' "$work"/err* 2>/dev/null
    failures=$((failures + 1))
}
mkdir -p "$work/home" "$work/tmp" "$work/runtime"
chmod 700 "$work/runtime"
export QT_QPA_PLATFORM=offscreen HOME=$work/home XDG_CONFIG_HOME=$work/config \
    XDG_STATE_HOME=$work/state XDG_RUNTIME_DIR=$work/runtime TMPDIR=$work/tmp \
    TESSMAR_MIXER=tessmar-test-no-mixer TESSMAR_INPUT=demo

# Seconds of sound in a WAV file.
seconds() { echo $((($(stat -c %s "$1") - 44) / 44100)); }

# Waits (at most 60 s: the sanitizers start slowly) until a journal holds a second.
journal_running() {
    for _ in $(seq 600); do
        local j
        j=$(ls "$work"/state/tessmar/take-*.journal 2>/dev/null | head -1)
        [[ -n $j && $(stat -c %s "$j") -gt 44144 ]] && return 0
        sleep 0.1
    done
    return 1
}

# Killed mid-take: the next start saves the take and says where.
"$tessmar" x "$work/killed.wav" 2>"$work/err1" &
pid=$!
journal_running || fail "no journal while the take ran"
sleep 3
kill -KILL $pid
wait $pid 2>/dev/null
"$tessmar" x "$work/next.wav" 2>"$work/err2" &
pid=$!
sleep 2
kill -TERM $pid
wait $pid
recovered=$(ls "$work"/home/tessmar-*.wav 2>/dev/null | head -1)
if [[ -z $recovered ]]; then
    fail "the killed take was not recovered"
elif ! grep -q "wurde unterbrochen; sie ist in \"$recovered\" gespeichert" "$work/err2"; then
    fail "the recovery was not told"
elif [[ $(seconds "$recovered") -lt 3 ]]; then
    fail "recovered only $(seconds "$recovered") s of at least 4 s"
elif ls "$work"/state/tessmar/*.journal >/dev/null 2>&1; then
    fail "journals left behind: $(ls "$work"/state/tessmar)"
fi
rm -f "$work"/home/* "$work"/err*

# The display goes away mid-take: the take is saved before the program ends.
if command -v Xvfb >/dev/null; then
    display=:$((100 + RANDOM % 800))
    Xvfb "$display" -screen 0 800x600x24 >/dev/null 2>&1 &
    xvfb=$!
    sleep 1
    # libxkbcommon-x11 reads its strings with strndup past their end, which ASan's strict
    # string checks count as an overflow: not ours.
    ASAN_OPTIONS=${ASAN_OPTIONS:-}:strict_string_checks=0 QT_QPA_PLATFORM=xcb DISPLAY=$display \
        "$tessmar" x "$work/display.wav" 2>"$work/err3" &
    pid=$!
    journal_running || fail "no journal while the take ran on $display"
    kill $xvfb
    wait $pid
    saved=$(ls "$work"/home/tessmar-*.wav 2>/dev/null | head -1)
    if [[ -z $saved ]] || ! grep -q "sie ist in \"$saved\" gespeichert" "$work/err3"; then
        fail "the take was lost with the display"
    fi
else
    echo "skipped: the display's end (no Xvfb)"
fi

# Names as bytes: ff fe (Latin-1), and 250 bytes with the folder's room for nothing more.
for name in $'\xff\xfe.wav' "$(printf 'a%.0s' $(seq 246)).wav"; do
    rm -f "$work/$name"
    "$tessmar" x "$work/$name" 2>"$work/err4" &
    pid=$!
    journal_running
    kill -TERM $pid
    wait $pid || fail "exit status $? for a name of ${#name} bytes"
    [[ -f $work/$name && $(stat -c %s "$work/$name") -gt 44 ]] ||
        fail "not written as named: $(ls "$work" | od -c | head -3)"
done

[[ $failures -eq 0 ]] && echo "all passed"
exit $((failures > 0))
