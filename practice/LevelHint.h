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

    static std::string For(const PitchUpdate& update);
};

} // namespace tessmar
