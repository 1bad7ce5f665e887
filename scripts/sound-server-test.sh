#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program against a real sound server, as a desktop runs it:
#   scripts/sound-server-test.sh BUILD_DIR pulseaudio|pipewire RATE
# starts a private server (tests/platform/sound_server.sh: a default sink, and a default
# source that hears a second sink, all at RATE frames/s), plays the built-in singer into
# that sink and lets Tessmar record it in command-line mode on the offscreen platform at
# the default slider position 30, through ALSA's "pulse" PCM and mixer, until SIGINT ends
# the recording. The file's header and size are checked, and its notes: the scale in
# order, and a note in most blocks (the singer sings all the time, at about -10 dBFS).
set -euo pipefail
build=$(realpath "$1")
server=$2
rate=$3
slider=${SLIDER:-30} # the default position
here=$(dirname "$(realpath "$0")")
fixture=$here/../tests/platform/sound_server.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-$server-XXXXXX")
cleanup() {
    bash "$fixture" stop "$work/server" >/dev/null || true
    [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "sound-server-test ($server, $rate Hz): $*" >&2
    exit 1
}

TESSMAR_SERVER_ALONGSIDE=1 bash "$fixture" start "$server" "$rate" "$work/server" >"$work/start.log" ||
    [ -f "$work/server/skip" ] ||
    fail "der Server startet nicht: $(cat "$work/start.log")"
[ -f "$work/server/skip" ] && fail "$(cat "$work/server/skip")"
source "$work/server/env"
sleep 2 # the server settles before the first stream
unset ALSA_CONFIG_PATH
export TESSMAR_INPUT=alsa:pulse TESSMAR_MIXER=pulse

# SUNG=FILE plays FILE instead of the singer; the scale is then not looked for.
if [ -n "${SUNG:-}" ]; then
    cp "$SUNG" "$work/sung.wav"
else
    "$build/tools/tessmar-demo" "$work/sung.wav" 10
fi
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work "$build/app/tessmar" x "$work/heard.wav" "$slider" \
    2>"$work/tessmar.log" &
program=$!
sleep 0.5
paplay --device=tessmar_singer "$work/sung.wav" &
play=$!
sleep 6.5
kill -INT "$program" # ends the recording as "Abbrechen" does; it is saved, then the program ends
for _ in $(seq 100); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$program" 2>/dev/null && fail "Tessmar endet nach SIGINT nicht"
wait "$program" || fail "Tessmar endet mit Status $?"
kill "$play" 2>/dev/null || true
wait "$play" 2>/dev/null || true
[ -f "$work/heard.wav" ] || fail "keine Aufnahme gespeichert"
size=$(stat -c %s "$work/heard.wav")
(( (size - 44) % 4096 == 0 && size - 44 >= 6 * 44100 )) || fail "Dateigröße $size"
header=$(od -An -tx1 -N44 "$work/heard.wav" | tr -d ' \n')
[ "${header:0:8}" = 52494646 ] && [ "${header:16:8}" = 57415645 ] || fail "kein RIFF/WAVE"
# channels 2, 11025 Hz, 44100 bytes/s, 4 bytes a frame, 16 bits
[ "${header:44:24}" = 0200112b000044ac00000400 ] && [ "${header:68:4}" = 1000 ] ||
    fail "Format ${header:40:32}"
"$build/tools/tessmar-notes" "$work/heard.wav" >"$work/notes.csv"
# The scale as the note display shows it: every note held for a few blocks, in order.
notes=$(awk -F, 'NR > 1 { print $4 }' "$work/notes.csv" |
    uniq -c | awk '$1 >= 3 && $2 != "" { printf "%s ", $2 }')
# From 1.5 s, when the singer sings for sure, to the end: the blocks that show a note.
read -r shown blocks < <(awk -F, 'NR > 1 && $2 >= 1.5 { n++; if ($4 != "") s++ }
    END { print s + 0, n + 0 }' "$work/notes.csv")
echo "sound-server-test ($server, $rate Hz): Regler $slider, Note in $shown von $blocks Blöcken: $notes"
case "${SUNG:-}$notes" in
?*/* | *"C-4 D-4 E-4 F-4 G-4 A-4 "*) ;;
*) fail "die Tonleiter fehlt" ;;
esac
(( shown * 10 >= blocks * 9 )) || fail "zu wenige Blöcke mit Note"
[ -s "$work/tessmar.log" ] && fail "Meldungen auf stderr: $(cat "$work/tessmar.log")"
echo "sound-server-test ($server, $rate Hz): bestanden"
