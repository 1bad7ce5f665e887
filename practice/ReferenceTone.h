// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/SungPitch.h"

#include <cstdint>
#include <vector>

namespace tessmar {

// The reference tone a singer matches: a note for about a second, a soft voice-like tone
// (the fundamental leads, two weak harmonics) with a gentle start and end against clicks.
class ReferenceTone {
public:
    static constexpr int kRate = 44100;
    static constexpr double kSeconds = 1.0;

    // Interleaved 16-bit stereo at rate, equal temperament with A-3 (NoteIndex 45) at
    // concertA.
    static std::vector<std::int16_t> Render(std::int32_t note, int rate = kRate,
                                            double concertA = kConcertA);
    static double Hz(std::int32_t note, double concertA = kConcertA);
};

} // namespace tessmar
