// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/exercise/Exercise.h"

#include <array>

namespace tessmar {
namespace {

struct Pattern {
    const char* name;
    std::vector<int> steps; // semitones above the key note
    int beatsEach;          // how long each note is sung
    int beatsBefore;        // heard, not sung, before each note
};

Pattern PatternOf(Exercise::Kind kind, int interval) {
    switch (kind) {
    case Exercise::Kind::Treffen:
        return {"treffen", {0}, 2, 2};
    case Exercise::Kind::Halten:
        return {"halten", {0}, 4, 0};
    case Exercise::Kind::Tonleiter:
        return {"tonleiter", {0, 2, 4, 5, 7, 5, 4, 2, 0}, 1, 0};
    case Exercise::Kind::Dreiklang:
        return {"dreiklang", {0, 4, 7, 12, 7, 4, 0}, 1, 0};
    case Exercise::Kind::Intervall:
        return {"intervall", {0, interval, 0}, 2, 0};
    }
    return {"", {}, 1, 0};
}

constexpr std::array kKinds = {Exercise::Kind::Treffen, Exercise::Kind::Halten,
                               Exercise::Kind::Tonleiter, Exercise::Kind::Dreiklang,
                               Exercise::Kind::Intervall};

} // namespace

std::optional<Exercise::Kind> Exercise::KindNamed(const std::string& name) {
    for (const Kind kind : kKinds) {
        if (name == PatternOf(kind, 0).name) {
            return kind;
        }
    }
    return std::nullopt;
}

std::string Exercise::NameOf(Kind kind) {
    return PatternOf(kind, 0).name;
}

std::vector<TargetNote> Exercise::Targets() const {
    const Pattern pattern = PatternOf(kind, interval);
    const double beat = Beat();
    std::vector<TargetNote> targets;
    double at = countInBeats * beat;
    for (int round = 0; round < rounds; ++round) {
        const std::int32_t key = start + round * step;
        for (const int semitones : pattern.steps) {
            at += pattern.beatsBefore * beat;
            targets.push_back({key + semitones, at, at + pattern.beatsEach * beat});
            at += pattern.beatsEach * beat;
        }
        at += beat;
    }
    return targets;
}

} // namespace tessmar
