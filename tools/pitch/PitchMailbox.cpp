// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/PitchMailbox.h"

namespace tessmar {

void PitchMailbox::Shown(const PitchUpdate& update) {
    bool wasEmpty = false;
    {
        std::lock_guard lock(mutex_);
        wasEmpty = contents_.updates.empty() && !contents_.deviceChanged;
        contents_.updates.push_back(update);
    }
    Ring(wasEmpty);
}

void PitchMailbox::DeviceState(const std::string& message) {
    bool wasEmpty = false;
    {
        std::lock_guard lock(mutex_);
        wasEmpty = contents_.updates.empty() && !contents_.deviceChanged;
        contents_.deviceChanged = true;
        contents_.deviceMessage = message;
    }
    Ring(wasEmpty);
}

void PitchMailbox::Ring(bool wasEmpty) {
    if (wasEmpty && doorbell_) {
        doorbell_();
    }
}

PitchMailbox::Contents PitchMailbox::Take() {
    std::lock_guard lock(mutex_);
    Contents taken = std::move(contents_);
    contents_ = {};
    contents_.updates.reserve(taken.updates.capacity());
    return taken;
}

} // namespace tessmar
