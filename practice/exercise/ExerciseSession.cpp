// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/exercise/ExerciseSession.h"

#include "analysis/NoteNaming.h"

#include <cmath>

namespace tessmar {

ExerciseSession::ExerciseSession(Exercise exercise, ExerciseScorer::Settings settings)
    : exercise_(exercise), settings_(settings), targets_(exercise.Targets()) {}

void ExerciseSession::Place(double startSeconds) {
    for (TargetNote& target : targets_) {
        target.start += startSeconds - start_;
        target.end += startSeconds - start_;
    }
    start_ = startSeconds;
    placed_ = true;
}

void ExerciseSession::Add(const PitchUpdate& update, double drawnPitch) {
    heard_ = update.seconds;
    if (!placed_) {
        return;
    }
    updates_.push_back(update);
    curve_.push_back({update.seconds, drawnPitch});
}

bool ExerciseSession::Over() const {
    if (!placed_) {
        return false;
    }
    return heard_ >= ExerciseScorer::EndOf(targets_, settings_);
}

int ExerciseSession::CountInLeft(double now) const {
    if (!placed_) {
        return exercise_.countInBeats;
    }
    const double beats = (now - start_) / exercise_.Beat();
    return beats >= exercise_.countInBeats
               ? 0
               : exercise_.countInBeats - int(std::floor(std::max(0.0, beats)));
}

std::vector<NoteScore> ExerciseSession::Scores() const {
    ExerciseScorer scorer(targets_, settings_);
    for (const PitchUpdate& update : updates_) {
        scorer.Add(update);
    }
    return scorer.Scores();
}

std::string ExerciseSession::Describe(std::size_t index, const NoteScore& score) {
    std::string text = std::to_string(index + 1) + ". Ton (" + NoteName(score.target.note) + "): ";
    if (!score.meanCents) {
        return text + "nicht gesungen";
    }
    const long cents = std::lround(*score.meanCents);
    text += cents == 0
                ? "genau getroffen"
                : std::to_string(std::abs(cents)) + " Cent zu " + (cents < 0 ? "tief" : "hoch");
    if (!score.onsetMs) {
        text += ", nie in der Toleranz";
    } else if (*score.onsetMs >= 150.0) {
        text += ", erst nach " + std::to_string(std::lround(*score.onsetMs)) + " ms erreicht";
    } else if (score.inTunePct < 80.0) {
        text += ", nur " + std::to_string(std::lround(score.inTunePct)) + " % in der Toleranz";
    }
    return text;
}

} // namespace tessmar
