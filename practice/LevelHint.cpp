// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/LevelHint.h"

namespace tessmar {

std::string LevelHint::For(const PitchUpdate& update) {
    if (update.clipped) {
        return kClipped;
    }
    if (update.levelDbfs < kQuietDbfs && (update.levelDbfs >= kSilenceDbfs || update.hz > 0)) {
        return kQuiet;
    }
    return {};
}

} // namespace tessmar
