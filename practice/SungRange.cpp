// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/SungRange.h"

namespace tessmar {

bool SungRange::Add(const PitchUpdate& update) {
    if (update.note < 0 || update.note != current_) {
        current_ = update.note;
        run_ = update.note < 0 ? 0 : 1;
    } else {
        ++run_;
    }
    if (run_ != heldUpdates_) {
        return false;
    }
    const bool lower = lowest_ < 0 || current_ < lowest_;
    const bool higher = highest_ < 0 || current_ > highest_;
    lowest_ = lower ? current_ : lowest_;
    highest_ = higher ? current_ : highest_;
    return lower || higher;
}

void SungRange::Reset() {
    current_ = lowest_ = highest_ = -1;
    run_ = 0;
}

} // namespace tessmar
