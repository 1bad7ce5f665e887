// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/exercise/Exercise.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessmar {

// What the output plays through an exercise: the count-in's ticks, and the targets on the
// reference tone before the singer's turn, along with it, or not at all. Made a stretch at a
// time as it plays: an exercise of minutes would be tens of megabytes made at once.
class ExerciseSound {
public:
    enum class Reference { Vorher, Mit, Aus };

    // "vorher", "mit", "aus".
    static std::optional<Reference> Named(const std::string& name);
    static std::string NameOf(Reference reference);

    // Vorher: each round's first note in the beat before the round (Treffen: each note in
    // the two beats before it).
    ExerciseSound(const Exercise& exercise, Reference reference, int rate, double concertA);
    // A melody played along, after countInBeats ticks of beatSeconds (a song without audio).
    ExerciseSound(const std::vector<TargetNote>& melody, int countInBeats, double beatSeconds,
                  int rate, double concertA);

    // From the exercise's time 0 to its last target's end.
    std::size_t frames() const { return frames_; }
    // Frames [from, from + count) of the sound, mixed into out (interleaved 16-bit stereo,
    // silence until now).
    void Render(std::size_t from, std::int16_t* out, std::size_t count) const;

private:
    void CountIn(int beats, double beatSeconds);
    std::size_t Frame(double seconds) const;
    void Finish(double endSeconds);

    struct Part {
        std::size_t at, frames;
        std::int32_t note; // -1: a tick
        bool accent;
    };

    std::vector<Part> parts_; // in time order
    int rate_;
    double concertA_;
    std::size_t frames_ = 0;
};

} // namespace tessmar
