// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/SungPitch.h"

#include <cstdint>
#include <vector>

namespace tessmar {

// The sung pitch as a teacher hears it, from the estimates of successive updates: the pitch
// held over the last 0.3 s (a vibrato's centre, not its swing), a note name that changes
// only once the voice has clearly moved to another note, and no octave jump that the voice
// didn't make. The needle, the figure, the log and the range all show this one value.
class HeardPitch {
public:
    struct Heard {
        std::int32_t note = -1; // NoteIndex shown; -1 while no pitch is heard
        double cents = 0.0;     // from note; up to ±(50 + kStayCents) for a moment
    };

    explicit HeardPitch(double concertA = kConcertA) : concertA_(concertA) {}

    // One update's estimate (0 Hz: no clear pitch) at its time in seconds.
    Heard Add(double seconds, double hz);

    static constexpr double kHoldSeconds = 0.3;
    static constexpr double kStayCents = 20.0;   // past the half-way point before a name changes
    static constexpr double kMovedCents = 150.0; // a new note, not vibrato: heard at once
                                                 // (a semitone: at the second estimate)

private:
    struct Sample {
        double seconds;
        double cents; // from C-0, octave folded to the pitch held
    };

    double concertA_;
    std::vector<Sample> held_;
    double lastVoiced_ = -1.0;
    double heldSince_ = 0.0;    // the first estimate of what is held
    double beyondSince_ = -1.0; // the pitch held is past half-way from the name since then
    double previous_ = 0.0;     // the last estimate, folded
    double foldedSince_ = -1.0; // estimates an octave from the held pitch since then
    std::int32_t note_ = -1;
};

} // namespace tessmar
