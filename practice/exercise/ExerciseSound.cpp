// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/exercise/ExerciseSound.h"

#include "practice/ReferenceTone.h"

#include <algorithm>
#include <cmath>

namespace tessmar {

std::optional<ExerciseSound::Reference> ExerciseSound::Named(const std::string& name) {
    for (const Reference r : {Reference::Vorher, Reference::Mit, Reference::Aus}) {
        if (name == NameOf(r)) {
            return r;
        }
    }
    return std::nullopt;
}

std::string ExerciseSound::NameOf(Reference reference) {
    switch (reference) {
    case Reference::Vorher:
        return "vorher";
    case Reference::Mit:
        return "mit";
    case Reference::Aus:
        return "aus";
    }
    return "";
}

ExerciseSound::ExerciseSound(const Exercise& exercise, Reference reference, int rate,
                             double concertA)
    : rate_(rate), concertA_(concertA) {
    const std::vector<TargetNote> targets = exercise.Targets();
    const double beat = exercise.Beat();
    CountIn(exercise.countInBeats, beat);
    const double gap = std::min(0.08, beat / 4); // the note stops before the singer's turn
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const TargetNote& t = targets[i];
        if (reference == Reference::Mit) {
            parts_.push_back({Frame(t.start), Frame(t.end - t.start), t.note, false});
        } else if (reference == Reference::Vorher) {
            const bool treffen = exercise.kind == Exercise::Kind::Treffen;
            const bool roundBegins = i == 0 || t.start - targets[i - 1].end > beat / 2;
            if (treffen || roundBegins) {
                // Without a count-in there is less room before the first note.
                const double lead = std::min(treffen ? 2 * beat : beat, t.start);
                if (lead > gap) {
                    parts_.push_back({Frame(t.start - lead), Frame(lead - gap), t.note, false});
                }
            }
        }
    }
    Finish(targets.empty() ? exercise.countInBeats * beat : targets.back().end);
}

ExerciseSound::ExerciseSound(const std::vector<TargetNote>& melody, int countInBeats,
                             double beatSeconds, int rate, double concertA)
    : rate_(rate), concertA_(concertA) {
    CountIn(countInBeats, beatSeconds);
    double end = countInBeats * beatSeconds;
    for (const TargetNote& t : melody) {
        if (!t.rap()) { // spoken, not sung: nothing to play
            parts_.push_back({Frame(t.start), Frame(t.end - t.start), t.note, false});
        }
        end = std::max(end, t.end);
    }
    Finish(end);
}

void ExerciseSound::CountIn(int beats, double beatSeconds) {
    for (int b = 0; b < beats; ++b) {
        parts_.push_back({Frame(b * beatSeconds), Frame(0.06), -1, b == 0});
    }
}

std::size_t ExerciseSound::Frame(double seconds) const {
    return std::size_t(std::lround(std::max(0.0, seconds) * rate_));
}

void ExerciseSound::Finish(double endSeconds) {
    std::stable_sort(parts_.begin(), parts_.end(),
                     [](const Part& a, const Part& b) { return a.at < b.at; });
    frames_ = Frame(endSeconds) + Frame(0.1);
}

void ExerciseSound::Render(std::size_t from, std::int16_t* out, std::size_t count) const {
    for (const Part& p : parts_) {
        if (p.at >= from + count) {
            break;
        }
        if (p.note < 0) {
            ReferenceTone::AddTick(out, from, count, p.at, rate_, p.accent);
        } else {
            ReferenceTone::AddNote(out, from, count, p.at, p.frames, p.note, rate_, concertA_);
        }
    }
}

} // namespace tessmar
