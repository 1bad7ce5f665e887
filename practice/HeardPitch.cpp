// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/HeardPitch.h"

#include "analysis/SungPitch.h"

#include <algorithm>
#include <cmath>

namespace tessmar {
namespace {

// A gap shorter than this (a consonant, a breath caught) keeps what was held.
constexpr double kGapSeconds = 0.15;
// An octave away from the pitch held is believed once it lasts this long: a leap sung,
// not an estimate gone astray.
constexpr double kOctaveSeconds = 0.5;
// How near an octave from the pitch held an estimate must lie to be taken for one: a wide
// vibrato's swing, but no seventh or ninth sung.
constexpr double kOctaveCents = 75.0;
// A pitch held for less than this, just after a step, may rest on an estimate gone astray
// in the window across the step: an octave from it is not folded back.
constexpr double kSettleSeconds = 0.15;
// Further from the pitch held than a wide vibrato swings from its centre.
constexpr double kStepCents = 85.0;

} // namespace

HeardPitch::Heard HeardPitch::Add(double seconds, double hz) {
    if (!(hz > 0.0)) {
        if (lastVoiced_ < 0.0 || seconds - lastVoiced_ > kGapSeconds) {
            held_.clear();
            note_ = -1;
            foldedSince_ = beyondSince_ = -1.0;
        }
        return {};
    }
    lastVoiced_ = seconds;
    const SungPitch pitch = SungPitch::FromHz(hz, concertA_);
    double cents = 100.0 * pitch.nearest + pitch.cents;
    std::erase_if(held_, [&](const Sample& s) { return seconds - s.seconds > kHoldSeconds; });
    if (!held_.empty()) {
        double mean = 0.0;
        for (const Sample& s : held_) {
            mean += s.cents / double(held_.size());
        }
        const double octaves = std::round((cents - mean) / 1200.0);
        if (octaves != 0.0 && std::abs(cents - mean - 1200.0 * octaves) < kOctaveCents &&
            seconds - heldSince_ < kSettleSeconds) {
            held_.clear(); // what was held rests on an estimate or two: it may be the stray one
            foldedSince_ = -1.0;
        } else if (octaves != 0.0 && std::abs(cents - mean - 1200.0 * octaves) < kOctaveCents) {
            if (foldedSince_ < 0.0) {
                foldedSince_ = seconds;
            }
            if (seconds - foldedSince_ < kOctaveSeconds) {
                cents -= 1200.0 * octaves;
            } else {
                held_.clear(); // it stays there: the voice did leap
            }
        } else {
            foldedSince_ = -1.0;
        }
        // Another note, not vibrato: far off at once, or a semitone off twice running (from
        // what was held before the first of the two). No lag behind a step.
        const double before =
            held_.size() > 1 ? (mean * double(held_.size()) - previous_) / double(held_.size() - 1)
                             : mean;
        const bool stepped =
            std::abs(cents - mean) > kMovedCents ||
            (std::abs(cents - before) > kStepCents && std::abs(previous_ - before) > kStepCents &&
             std::abs(cents - previous_) < kStepCents / 2.0);
        if (!held_.empty() && stepped) {
            held_.clear();
        }
    }
    previous_ = cents;
    if (held_.empty()) {
        heldSince_ = seconds;
    }
    held_.push_back({seconds, cents});
    double mean = 0.0;
    for (const Sample& s : held_) {
        mean += s.cents / double(held_.size());
    }
    // The name changes when the pitch held is well past half-way to another note, or past
    // it for a hold's worth (a glide ending a little sharp or flat of the next note). Until
    // a hold's worth is heard it follows the mean: a first estimate at a vibrato's crest
    // must not fix the name.
    const double off = std::abs(mean - 100.0 * note_);
    beyondSince_ = off <= 50.0 ? -1.0 : beyondSince_ < 0.0 ? seconds : beyondSince_;
    if (note_ < 0 || seconds - heldSince_ < kHoldSeconds || off > 50.0 + kStayCents ||
        (beyondSince_ >= 0.0 && seconds - beyondSince_ >= kHoldSeconds)) {
        note_ = std::int32_t(std::lround(mean / 100.0));
        beyondSince_ = -1.0;
    }
    return {note_, mean - 100.0 * note_};
}

} // namespace tessmar
