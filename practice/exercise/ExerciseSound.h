// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/exercise/Exercise.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessmar {

// What the output plays through an exercise: the count-in's ticks, and the targets on the
// reference tone before the singer's turn, along with it, or not at all.
class ExerciseSound {
public:
    enum class Reference { Vorher, Mit, Aus };

    // "vorher", "mit", "aus".
    static std::optional<Reference> Named(const std::string& name);
    static std::string NameOf(Reference reference);

    // Interleaved 16-bit stereo at rate, from the exercise's time 0 to its last target's end.
    // Vorher: each round's first note in the beat before the round (Treffen: each note in the
    // two beats before it).
    static std::vector<std::int16_t> Render(const Exercise& exercise, Reference reference, int rate,
                                            double concertA);
};

} // namespace tessmar
