// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/exercise/Exercise.h"

#include <optional>

namespace tessmar {

// How one target note was sung.
struct NoteScore {
    TargetNote target{};
    double targetHz = 0.0;
    std::optional<double> meanCents; // signed: below 0 flat; none where nothing was sung
    double spreadCents = 0.0;        // standard deviation around the mean
    double inTunePct = 0.0;          // share of the note's time within the tolerance
    std::optional<double> onsetMs;   // from the note's start until the voice reached it
};

} // namespace tessmar
