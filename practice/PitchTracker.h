// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/PitchEstimator.h"
#include "practice/HeardPitch.h"
#include "practice/PitchUpdate.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessmar {

// Turns hops of captured stereo frames into updates: a window of the latest frames slides
// by each hop, the estimator finds its pitch, and the note and cents are the pitch heard
// over the last moments (HeardPitch). Qt-free, one thread at a time.
class PitchTracker {
public:
    PitchTracker(int rate, int windowFrames, double concertA = kConcertA);

    // Appends frameCount interleaved stereo frames; the update describes the window that
    // ends with them. A window not yet full is padded with silence at its start.
    PitchUpdate Feed(const std::int16_t* frames, std::size_t frameCount);
    // Starts the clock and the window afresh (a new device, after a loss).
    void Restart(std::uint64_t framesBefore);
    std::uint64_t frames() const { return frames_; }

private:
    const int rate_;
    PitchEstimator estimator_;
    std::vector<std::int16_t> window_; // interleaved stereo, oldest first
    std::uint64_t frames_ = 0;         // captured since the first frame
    const double concertA_;
    HeardPitch heard_;
};

} // namespace tessmar
