// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/PitchUpdate.h"
#include "practice/exercise/NoteScore.h"

#include <limits>
#include <vector>

namespace tessmar {

// Scores the sung pitch against the targets, note by note. Each update is placed at the
// middle of what its estimate heard (the first half of its window), less the delay between what is
// played and what is heard, and belongs to the target sounding then. In exercises the octave
// counts.
class ExerciseScorer {
public:
    struct Settings {
        double toleranceCents = 50.0;
        double delaySeconds = 0.0;
        double concertA = 440.0;    // A-3, Hz
        double windowSeconds = 0.0; // the estimator's window
        // A note sung an octave (or two) away counts, as in karaoke: a man sings a
        // soprano's line.
        bool octaveFree = false;
    };

    ExerciseScorer(std::vector<TargetNote> targets, Settings settings);

    void Add(const PitchUpdate& update);
    std::vector<NoteScore> Scores() const;
    // When the last target ends, in update time: nothing later counts.
    double EndSeconds() const { return EndOf(targets_, settings_); }
    static double EndOf(const std::vector<TargetNote>& targets, const Settings& settings);
    // 0..100: the share of all the targets' time sung within the tolerance, a golden
    // note's time twice.
    static int Total(const std::vector<NoteScore>& scores);

    double TargetHz(std::int32_t note) const;

private:
    struct Sample {
        double at;
        double cents; // NaN: no pitch
    };

    std::vector<TargetNote> targets_;
    Settings settings_;
    std::vector<std::vector<Sample>> samples_; // per target
    std::vector<double> voicedBefore_;         // per target: the last pitch heard before it
    double lastVoiced_ = std::numeric_limits<double>::quiet_NaN();
    std::size_t current_ = 0; // targets before it are over
};

} // namespace tessmar
