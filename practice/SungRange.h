// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/PitchFormat.h"
#include "practice/PitchUpdate.h"

#include <cstdint>

namespace tessmar {

// The range sung so far: the lowest and the highest note held for a moment, so that a
// slide through a note or a crack of the voice does not count.
class SungRange {
public:
    // Updates in a row on the same note that make it held: 0.3 s.
    explicit SungRange(int heldUpdates = int(3 * kPitchRate / (10 * kPitchHopFrames)))
        : heldUpdates_(heldUpdates) {}

    // True when the range changed.
    bool Add(const PitchUpdate& update);
    void Reset();

    std::int32_t lowest() const { return lowest_; }   // -1 before the first held note
    std::int32_t highest() const { return highest_; } // -1 before the first held note

private:
    const int heldUpdates_;
    std::int32_t current_ = -1;
    int run_ = 0;
    std::int32_t lowest_ = -1;
    std::int32_t highest_ = -1;
};

} // namespace tessmar
