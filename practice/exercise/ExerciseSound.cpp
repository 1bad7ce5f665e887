// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/exercise/ExerciseSound.h"

#include "practice/ReferenceTone.h"

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

std::vector<std::int16_t> ExerciseSound::Render(const Exercise& exercise, Reference reference,
                                                int rate, double concertA) {
    const std::vector<TargetNote> targets = exercise.Targets();
    const double beat = exercise.Beat();
    const auto frame = [rate](double seconds) { return std::size_t(std::lround(seconds * rate)); };
    const double end = targets.empty() ? exercise.countInBeats * beat : targets.back().end;
    std::vector<std::int16_t> sound(2 * (frame(end) + frame(0.1)), 0);
    for (int b = 0; b < exercise.countInBeats; ++b) {
        ReferenceTone::AddTick(sound, frame(b * beat), rate, b == 0);
    }
    const double gap = std::min(0.08, beat / 4); // the note stops before the singer's turn
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const TargetNote& t = targets[i];
        if (reference == Reference::Mit) {
            ReferenceTone::AddNote(sound, frame(t.start), frame(t.end - t.start), t.note, rate,
                                   concertA);
        } else if (reference == Reference::Vorher) {
            const bool treffen = exercise.kind == Exercise::Kind::Treffen;
            const bool roundBegins = i == 0 || t.start - targets[i - 1].end > beat / 2;
            if (treffen || roundBegins) {
                const double lead = treffen ? 2 * beat : beat;
                ReferenceTone::AddNote(sound, frame(std::max(0.0, t.start - lead)),
                                       frame(lead - gap), t.note, rate, concertA);
            }
        }
    }
    return sound;
}

} // namespace tessmar
