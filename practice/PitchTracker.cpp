// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/PitchTracker.h"

#include "analysis/SungPitch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tessmar {

PitchTracker::PitchTracker(int rate, int windowFrames, double concertA)
    : rate_(rate), estimator_(rate, windowFrames),
      window_(std::size_t(windowFrames) * kChannels, std::int16_t{0}), concertA_(concertA),
      heard_(concertA) {}

void PitchTracker::Restart(std::uint64_t framesBefore) {
    std::fill(window_.begin(), window_.end(), std::int16_t{0});
    frames_ = framesBefore;
    heard_ = HeardPitch(concertA_);
}

PitchUpdate PitchTracker::Feed(const std::int16_t* frames, std::size_t frameCount) {
    PitchUpdate update;
    const std::size_t windowFrames = window_.size() / kChannels;
    const std::size_t kept = frameCount >= windowFrames ? 0 : windowFrames - frameCount;
    const std::size_t taken = windowFrames - kept;
    std::copy(window_.end() - std::ptrdiff_t(kept * kChannels), window_.end(), window_.begin());
    std::copy(frames + (frameCount - taken) * kChannels, frames + frameCount * kChannels,
              window_.begin() + std::ptrdiff_t(kept * kChannels));
    frames_ += frameCount;
    update.seconds = double(frames_) / rate_;

    for (std::size_t k = 0; k < frameCount; ++k) {
        const int v = frames[k * kChannels];
        update.clipped = update.clipped || v >= 32767 || v <= -32767;
    }
    double squares = 0.0;
    for (std::size_t k = 0; k < windowFrames; ++k) {
        const double v = window_[k * kChannels];
        squares += v * v;
    }
    const double rms = std::sqrt(squares / double(windowFrames)) / 32768.0;
    update.levelDbfs = rms > 1e-6 ? 20.0 * std::log10(rms) : -120.0;

    update.hz = estimator_.Estimate(window_.data());
    const HeardPitch::Heard heard = heard_.Add(update.seconds, update.hz);
    update.note = heard.note;
    update.cents = heard.cents;
    return update;
}

} // namespace tessmar
