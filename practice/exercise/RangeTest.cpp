// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/exercise/RangeTest.h"

#include "analysis/NoteNaming.h"

namespace tessmar {

void RangeTest::Add(const PitchUpdate& update) {
    if (step_ == Step::Done || step_ == Step::Failed) {
        return;
    }
    const double now = update.seconds;
    if (stepBegan_ < 0.0) {
        stepBegan_ = now;
    }
    if (update.note != note_) {
        note_ = update.note;
        noteBegan_ = now;
    }
    silentSince_ = note_ >= 0 ? -1.0 : silentSince_ < 0.0 ? now : silentSince_;
    if (note_ >= 0 && now - noteBegan_ >= kHeld) {
        const bool lower = step_ == Step::Lowest;
        if (held_ < 0 || (lower ? note_ < held_ : note_ > held_)) {
            held_ = note_;
        }
    }
    if (held_ >= 0 && silentSince_ >= 0.0 && now - silentSince_ >= kRest) {
        Next(now);
    } else if (held_ < 0 && now - stepBegan_ >= kGiveUp) {
        step_ = Step::Failed;
        why_ = "Kein Ton eine Sekunde lang gehalten: Ist das Mikrofon an und laut genug?";
    }
}

void RangeTest::Next(double seconds) {
    if (step_ == Step::Lowest) {
        lowest_ = held_;
        step_ = Step::Highest;
    } else if (held_ < lowest_ + kLeast) {
        step_ = Step::Failed;
        why_ = "Der höchste gehaltene Ton (" + NoteName(held_) +
               ") liegt nicht einmal eine Quarte über dem tiefsten (" + NoteName(lowest_) +
               "). Bitte noch einmal messen.";
    } else {
        highest_ = held_;
        step_ = Step::Done;
    }
    held_ = -1;
    stepBegan_ = seconds;
}

std::string RangeTest::Told() const {
    const std::string held = held_ >= 0 ? " Gehalten: " + NoteName(held_) + "." : "";
    switch (step_) {
    case Step::Lowest:
        return "1/2: Den tiefsten bequemen Ton singen, eine Sekunde halten, dann absetzen." + held;
    case Step::Highest:
        return "2/2: Tiefster Ton " + NoteName(lowest_) +
               ". Jetzt den höchsten bequemen Ton singen, eine Sekunde halten, dann absetzen." +
               held;
    case Step::Done:
        return "Umfang gemessen: " + NoteName(lowest_) + " bis " + NoteName(highest_) +
               ". Die Übungen liegen jetzt darin.";
    case Step::Failed:
        break;
    }
    return "Kein Umfang gemessen. " + why_;
}

} // namespace tessmar
