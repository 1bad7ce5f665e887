// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/exercise/ExerciseSession.h"

#include "analysis/NoteNaming.h"

#include <algorithm>
#include <cmath>

namespace tessmar {
namespace {

// How far a note was from clean: 0 for one sung in tune from its start to its end.
double Badness(const NoteScore& s) {
    if (s.target.rap()) { // spoken: heard or not
        return s.inTunePct >= 80.0 ? 0.0 : 100.0 - s.inTunePct;
    }
    if (!s.meanCents) {
        return 1000.0;
    }
    const bool clean =
        s.onsetMs && std::abs(*s.meanCents) <= 10.0 && *s.onsetMs < 150.0 && s.inTunePct >= 80.0;
    return clean ? 0.0
                 : (100.0 - s.inTunePct) + std::abs(*s.meanCents) +
                       (s.onsetMs ? *s.onsetMs / 10.0 : 200.0);
}

} // namespace

ExerciseSession::ExerciseSession(const Exercise& exercise, ExerciseScorer::Settings settings)
    : ExerciseSession(exercise.Targets(), exercise.countInBeats, exercise.Beat(), settings) {}

ExerciseSession::ExerciseSession(std::vector<TargetNote> targets, int countInBeats,
                                 double beatSeconds, ExerciseScorer::Settings settings,
                                 std::vector<std::string> words)
    : countInBeats_(countInBeats), beatSeconds_(beatSeconds), settings_(settings),
      targets_(std::move(targets)), words_(std::move(words)) {}

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

void ExerciseSession::Restore(std::vector<Sung> curve) {
    curve_ = std::move(curve);
    heard_ = curve_.empty() ? heard_ : curve_.back().seconds;
}

bool ExerciseSession::Over() const {
    if (!placed_) {
        return false;
    }
    return heard_ >= ExerciseScorer::EndOf(targets_, settings_);
}

int ExerciseSession::CountInLeft(double now) const {
    if (!placed_) {
        return countInBeats_;
    }
    const double beats = (now - start_) / beatSeconds_;
    return beats >= countInBeats_ ? 0 : countInBeats_ - int(std::floor(std::max(0.0, beats)));
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
    if (score.target.rap()) {
        return text + "gesprochen, " + std::to_string(std::lround(score.inTunePct)) + " % zu hören";
    }
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

std::vector<std::string> ExerciseSession::Result(const std::vector<NoteScore>& scores,
                                                 std::size_t told) {
    std::vector<std::size_t> off;
    for (std::size_t i = 0; i < scores.size(); ++i) {
        if (Badness(scores[i]) > 0.0) {
            off.push_back(i);
        }
    }
    std::stable_sort(off.begin(), off.end(), [&scores](std::size_t a, std::size_t b) {
        return Badness(scores[a]) > Badness(scores[b]);
    });
    told = std::min(told, off.size());
    std::sort(off.begin(), off.begin() + std::ptrdiff_t(told));
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < told; ++k) {
        lines.push_back(Describe(off[k], scores[off[k]]));
    }
    lines.push_back(std::to_string(scores.size() - off.size()) + " von " +
                    std::to_string(scores.size()) + " Tönen sauber getroffen" +
                    (off.size() > told
                         ? "; " + std::to_string(off.size() - told) + " weitere daneben, siehe Bild"
                         : std::string()) +
                    ".");
    return lines;
}

} // namespace tessmar
