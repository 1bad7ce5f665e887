// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/LevelHint.h"

namespace tessmar {

std::string LevelHint::For(const PitchUpdate& update) {
    if (update.clipped) {
        return "Übersteuert – leiser singen oder weiter weg vom Mikrofon";
    }
    if (update.levelDbfs < kQuietDbfs) {
        return "Zu leise – lauter singen oder näher ans Mikrofon";
    }
    return {};
}

} // namespace tessmar
