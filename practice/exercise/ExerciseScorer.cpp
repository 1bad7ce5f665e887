// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/exercise/ExerciseScorer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace tessmar {
namespace {

constexpr std::int32_t kNoteA3 = 45;
constexpr double kCycleSeconds = 0.2;
constexpr double kVibratoSpanCents = 120.0; // twice a wide vibrato's depth
// Longer than the unvoiced updates a change of note gives: a rest.
constexpr double kRestSeconds = 0.15;

} // namespace

ExerciseScorer::ExerciseScorer(std::vector<TargetNote> targets, Settings settings)
    : targets_(std::move(targets)), settings_(settings), samples_(targets_.size()),
      voicedBefore_(targets_.size(), std::numeric_limits<double>::quiet_NaN()) {}

double ExerciseScorer::TargetHz(std::int32_t note) const {
    return settings_.concertA * std::exp2((note - kNoteA3) / 12.0);
}

double ExerciseScorer::EndOf(const std::vector<TargetNote>& targets, const Settings& settings) {
    return targets.empty() ? 0.0
                           : targets.back().end + settings.delaySeconds + settings.windowSeconds;
}

void ExerciseScorer::Add(const PitchUpdate& update) {
    // YIN compares the window's first half with what follows it by a period: its estimate
    // tells of that half, not of the window's end.
    const double at = update.seconds - settings_.windowSeconds * 0.75 - settings_.delaySeconds;
    while (current_ < targets_.size() && at >= targets_[current_].end) {
        ++current_;
    }
    if (current_ < targets_.size() && at >= targets_[current_].start) {
        double cents = update.hz > 0.0
                           ? 1200.0 * std::log2(update.hz / TargetHz(targets_[current_].note))
                           : std::numeric_limits<double>::quiet_NaN();
        if (settings_.octaveFree) {
            cents -= 1200.0 * std::round(cents / 1200.0);
        }
        if (samples_[current_].empty()) {
            voicedBefore_[current_] = lastVoiced_;
        }
        samples_[current_].push_back({at, cents});
    }
    if (update.hz > 0.0) {
        lastVoiced_ = at;
    }
}

std::vector<NoteScore> ExerciseScorer::Scores() const {
    std::vector<NoteScore> scores;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
        const TargetNote& target = targets_[i];
        const std::vector<Sample>& samples = samples_[i];
        NoteScore score;
        score.target = target;
        score.targetHz = TargetHz(target.note);
        // A teacher hears a vibrato's centre: each update is judged by the mean over a
        // vibrato cycle around it (about 5.5 Hz) of the updates near its pitch (not those of
        // the note before, still sung at an entry), and a gap in the voice is out of tune.
        std::vector<bool> inTune(samples.size(), false);
        for (std::size_t k = 0; k < samples.size(); ++k) {
            if (std::isnan(samples[k].cents)) {
                continue;
            }
            double sum = 0.0;
            int n = 0;
            for (const Sample& s : samples) {
                if (std::abs(s.at - samples[k].at) <= kCycleSeconds / 2.0 &&
                    std::abs(s.cents - samples[k].cents) <= kVibratoSpanCents) { // false for NaN
                    sum += s.cents;
                    ++n;
                }
            }
            inTune[k] = std::abs(sum / n) <= settings_.toleranceCents || target.rap();
        }
        const auto tuned = std::count(inTune.begin(), inTune.end(), true);
        score.inTunePct = samples.empty() ? 0.0 : 100.0 * double(tuned) / double(samples.size());
        // Reached where two updates in a row are in tune: halfway between where the window of
        // the last update sung just before them ends (no pitch in between: the windows that
        // hold the change) and where the first one's window begins.
        // Not in the note's last half cycle, where the mean sees only one side of a vibrato:
        // a sharp note's last dip is not its arrival.
        const bool longNote = target.end - target.start > 2.0 * kCycleSeconds;
        std::size_t from = 0;
        for (std::size_t k = 0; k < samples.size(); ++k) {
            if (longNote && samples[k].at > target.end - kCycleSeconds / 2.0) {
                break;
            }
            if (inTune[k] && (k + 1 == samples.size() || inTune[k + 1])) {
                const double half = settings_.windowSeconds / 4.0;
                double sungBefore = voicedBefore_[i];
                for (std::size_t j = k; j-- > 0;) {
                    if (!std::isnan(samples[j].cents)) {
                        sungBefore = samples[j].at;
                        break;
                    }
                }
                // After a rest the voice came in with the first update: nothing sung before
                // it tells when.
                const bool rested =
                    std::isnan(sungBefore) || samples[k].at - sungBefore > kRestSeconds;
                const double reached = rested ? samples[k].at - half
                                              : (sungBefore + half + samples[k].at - half) / 2.0;
                score.onsetMs = std::max(0.0, reached - target.start) * 1000.0;
                from = k;
                break;
            }
        }
        // Before it is reached the voice is still on its way, and the next note sung early is
        // not this one sung sharp or flat: the mean is of the note held.
        // Only in the note's last stretch: a note sung sharp throughout stays sharp.
        std::size_t to = samples.size();
        if (i + 1 < targets_.size()) {
            double next = 100.0 * (targets_[i + 1].note - target.note);
            if (settings_.octaveFree) { // as the samples are: the leap within an octave
                next -= 1200.0 * std::round(next / 1200.0);
            }
            const double early = target.end - std::min(0.3, (target.end - target.start) / 3.0);
            while (to > from + 1 && samples[to - 1].at > early &&
                   (std::isnan(samples[to - 1].cents) ||
                    std::abs(samples[to - 1].cents - next) < std::abs(samples[to - 1].cents))) {
                --to;
            }
        }
        double sum = 0.0, squares = 0.0;
        int voiced = 0;
        for (std::size_t k = from; k < to; ++k) {
            if (!std::isnan(samples[k].cents)) {
                sum += samples[k].cents;
                squares += samples[k].cents * samples[k].cents;
                ++voiced;
            }
        }
        if (voiced > 0 && !target.rap()) { // spoken: no pitch to miss
            const double mean = sum / voiced;
            score.meanCents = mean;
            score.spreadCents = std::sqrt(std::max(0.0, squares / voiced - mean * mean));
        }
        scores.push_back(score);
    }
    return scores;
}

int ExerciseScorer::Total(const std::vector<NoteScore>& scores) {
    double sung = 0.0, length = 0.0;
    for (const NoteScore& s : scores) {
        const double seconds = (s.target.end - s.target.start) * (s.target.golden() ? 2.0 : 1.0);
        sung += s.inTunePct / 100.0 * seconds;
        length += seconds;
    }
    return length > 0.0 ? int(std::lround(100.0 * sung / length)) : 0;
}

} // namespace tessmar
