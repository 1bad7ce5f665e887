// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/PitchUpdate.h"

#include <string>

namespace tessmar {

// What the level meter says about the input, in German; empty when the level is fine.
class LevelHint {
public:
    // Below this the estimator hears too little of a voice to be sure of it.
    static constexpr double kQuietDbfs = -45.0;
    // Below this, without a pitch, nobody is singing: a room's own noise needs no advice.
    static constexpr double kSilenceDbfs = -60.0;
    static constexpr const char* kClipped =
        "Übersteuert – leiser singen oder weiter weg vom Mikrofon";
    static constexpr const char* kQuiet = "Zu leise – lauter singen oder näher ans Mikrofon";

    static std::string For(const PitchUpdate& update);
};

} // namespace tessmar
