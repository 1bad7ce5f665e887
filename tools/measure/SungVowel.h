// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace tessmar::measure {

// A sung vowel of known pitch for the pitch tests and the accuracy measurement: a glottal
// source (every harmonic below 5 kHz, falling 12 dB an octave) shaped by the vowel's first
// three formants, with vibrato, a little jitter and breath noise.
struct SungVowel {
    double formants[3] = {730, 1090,
                          2440}; // "a"; "o" 570 840 2410, "u" 300 870 2240, "i" 270 2290 3010
    double hz = 220.0;
    double vibratoCents = 30.0; // peak deviation, at 5.5 Hz
    double level = 0.3;         // peak of the voice, of full scale
    double noise = 0.003;       // breath: RMS of white noise, of full scale

    // Interleaved 16-bit stereo, both sides alike; trueCents gets the pitch of every frame in
    // cents from A-3 (NoteIndex 45 * 100 = 4500 on A-3).
    std::vector<std::int16_t> Render(int rate, std::size_t frames,
                                     std::vector<double>* trueCents = nullptr) const;
};

} // namespace tessmar::measure
