// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/PitchUpdate.h"

#include <cstdint>
#include <string>

namespace tessmar {

// The singer's range, asked for: first the lowest comfortable note, held, then the highest.
// Each step keeps the lowest (or highest) note held for a second and ends when the voice
// has rested a second after one; a slide through notes or a crack does not count.
class RangeTest {
public:
    enum class Step { Lowest, Highest, Done, Failed };
    static constexpr double kHeld = 1.0;      // s on one note that make it held
    static constexpr double kRest = 1.0;      // s of silence after a held note that end a step
    static constexpr double kGiveUp = 20.0;   // s of a step without a held note
    static constexpr std::int32_t kLeast = 5; // semitones the highest must lie above the lowest

    void Add(const PitchUpdate& update);

    Step step() const { return step_; }
    std::int32_t lowest() const { return lowest_; }
    std::int32_t highest() const { return highest_; }
    // What the singer is asked to do now, or the outcome, in words.
    std::string Told() const;

private:
    void Next(double seconds);

    Step step_ = Step::Lowest;
    double stepBegan_ = -1.0; // capture time; -1: the first update is still to come
    std::int32_t note_ = -1;  // the note sung now
    double noteBegan_ = 0.0;
    double silentSince_ = -1.0; // -1: sung
    std::int32_t held_ = -1;    // this step's candidate
    std::int32_t lowest_ = -1, highest_ = -1;
    std::string why_;
};

} // namespace tessmar
