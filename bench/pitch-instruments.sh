#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# tessmar-pitch on sampled instruments: notes every two semitones, held 1 s each and 0.2 s
# apart, rendered by FluidSynth from Debian's General MIDI sound font, played to the
# program as its input file (offscreen, in real time) and scored from its --log: an update
# is right within 50 cents of the note played (A-3 = 440 Hz, equal temperament); updates
# whose 64 ms window reaches into a note's first or last 100 ms are left out.
# Usage: bench/pitch-instruments.sh BUILD_DIR   (BUILD_DIR has tools/tessmar-pitch)
#   Needs fluidsynth, fluid-soundfont-gm, python3 and sox.
set -euo pipefail
pitch=$(realpath "$1")/tools/tessmar-pitch
font=/usr/share/sounds/sf2/FluidR3_GM.sf2
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-instruments-XXXXXX")
trap 'rm -rf "$work"' EXIT

# A one-track MIDI file: PROGRAM, MIDI notes LOW..HIGH every two semitones.
midi() {
    python3 - "$@" <<'PY'
import struct, sys
out, prog, low, high = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
def vlq(n):
    b = [n & 0x7f]; n >>= 7
    while n: b.insert(0, (n & 0x7f) | 0x80); n >>= 7
    return bytes(b)
ev = bytearray(vlq(0) + b'\xff\x51\x03' + (500000).to_bytes(3, 'big'))  # 960 ticks a second
ev += vlq(0) + bytes([0xc0, prog])
for i, n in enumerate(range(low, high + 1, 2)):
    ev += vlq(0 if i == 0 else 192) + bytes([0x90, n, 96]) + vlq(960) + bytes([0x80, n, 0])
ev += vlq(960) + b'\xff\x2f\x00'
open(out, 'wb').write(b'MThd' + struct.pack('>IHHH', 6, 0, 1, 480) + b'MTrk' +
                      struct.pack('>I', len(ev)) + ev)
PY
}

# name, General MIDI program (from 0), lowest and highest MIDI note (69 is A-3)
instruments="choir-aahs 52 48 72
voice-oohs 53 48 72
flute 73 60 84
violin 40 55 79
clarinet 71 50 74
cello 42 36 60
trumpet 56 55 79"
while read -r name program low high; do
    midi "$work/$name.mid" "$program" "$low" "$high"
    fluidsynth -ni -q -g 0.8 -r 44100 -F "$work/$name.wav" "$font" "$work/$name.mid" >/dev/null 2>&1
    seconds=$(soxi -D "$work/$name.wav")
    QT_QPA_PLATFORM=offscreen TESSMAR_INPUT="file:$work/$name.wav" \
        timeout -s TERM "$(echo "$seconds + 1.5" | bc)" "$pitch" --log "$work/$name.csv" \
        2>/dev/null &
done <<<"$instruments"
wait
while read -r name program low high; do
    awk -F, -v low="$low" -v high="$high" -v name="$name" 'NR > 1 {
        end = $1; start = end - 0.064; k = int(start / 1.2); on = k * 1.2
        if (start < on + 0.1 || end > on + 0.9 || low + 2 * k > high) next
        n++
        if ($2 == "") { none++; next }
        c = 1200 * log($2 / (440 * 2 ^ ((low + 2 * k - 69) / 12))) / log(2); c = c < 0 ? -c : c
        if (c <= 50) good++; else if (c > 1150 && c < 1250) octave++
    } END { printf "%-11s %3d updates, right %5.1f %%, no pitch %d, an octave off %d\n",
                   name, n, 100 * good / n, none, octave }' "$work/$name.csv"
done <<<"$instruments"
