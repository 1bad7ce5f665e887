// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace tessmar {

// A-3's frequency unless the singer tunes otherwise (415 to 466 Hz).
inline constexpr double kConcertA = 440.0;

// A sung frequency named as the note display names notes: the nearest NoteIndex in equal
// temperament with A-3 (NoteIndex 45) at 440 Hz, and how far off it lies. The display's own
// note table is within a cent of that tuning.
struct SungPitch {
    double hz;
    std::int32_t nearest; // may lie outside 0..127 for frequencies no note display shows
    double cents;         // -50 .. +50 from the nearest note

    // hz must be above 0; concertA: A-3's frequency.
    static SungPitch FromHz(double hz, double concertA = kConcertA);
};

} // namespace tessmar
