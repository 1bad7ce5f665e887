// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/PitchUpdate.h"
#include "practice/exercise/ExerciseScorer.h"

#include <string>
#include <vector>

namespace tessmar {

// One exercise (or song) sung in the window: its targets placed on the capture clock, the updates
// heard since it began, the curve to draw over the targets and the scores. The window
// places it once the reference sound has started, and again as the output counts more
// surely when that was; the scores follow. Qt-free, the window's thread only.
class ExerciseSession {
public:
    struct Sung {
        double seconds; // capture time
        double pitch;   // as drawn: NoteIndex plus cents/100; NaN without pitch
    };

    ExerciseSession(const Exercise& exercise, ExerciseScorer::Settings settings);
    // A song's, or any line of targets from time 0 on, after countInBeats of beatSeconds;
    // words: each target's syllable, or none.
    ExerciseSession(std::vector<TargetNote> targets, int countInBeats, double beatSeconds,
                    ExerciseScorer::Settings settings, std::vector<std::string> words = {});

    // The capture time of the exercise's time 0, the count-in's start.
    void Place(double startSeconds);
    bool placed() const { return placed_; }
    double start() const { return start_; }
    double tolerance() const { return settings_.toleranceCents; }
    double delay() const { return settings_.delaySeconds; }
    bool octaveFree() const { return settings_.octaveFree; }

    // An update, and its pitch as the trace draws it.
    void Add(const PitchUpdate& update, double drawnPitch);
    // A take kept, looked at again: its curve as drawn then (its scores are kept apart).
    void Restore(std::vector<Sung> curve);
    // The last target is over (and its last update heard).
    bool Over() const;
    // Beats of the count-in still to come at capture time now (1 in its last beat), 0 after.
    int CountInLeft(double now) const;

    // In capture time.
    const std::vector<TargetNote>& targets() const { return targets_; }
    // Each target's syllable, when sung to words.
    const std::vector<std::string>& words() const { return words_; }
    const std::vector<Sung>& curve() const { return curve_; }
    std::vector<NoteScore> Scores() const;

    // One note's result in words: "3. Ton (E-3): 18 Cent zu tief".
    static std::string Describe(std::size_t index, const NoteScore& score);
    // The result in words: the `told` notes furthest from clean (within 10 cents, in tune
    // for 80 % of their time, reached within 150 ms) in the order sung, then how many were.
    static std::vector<std::string> Result(const std::vector<NoteScore>& scores, std::size_t told);

private:
    int countInBeats_;
    double beatSeconds_;
    ExerciseScorer::Settings settings_;
    bool placed_ = false;
    double start_ = 0.0;
    std::vector<TargetNote> targets_;
    std::vector<std::string> words_;
    std::vector<PitchUpdate> updates_; // since the start: scored anew when placed anew
    std::vector<Sung> curve_;
    double heard_ = 0.0; // the newest update's time
};

} // namespace tessmar
