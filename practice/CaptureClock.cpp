// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/CaptureClock.h"

#include <algorithm>

namespace tessmar {

void CaptureClock::Add(double seconds, std::int64_t filledAtNs) {
    if (filledAtNs == 0) {
        return; // not stamped
    }
    offsets_.push_back(double(filledAtNs) * 1e-9 - seconds);
    if (offsets_.size() > kKept) {
        offsets_.pop_front();
    }
}

double CaptureClock::SecondsAt(std::int64_t steadyNs) const {
    const double offset =
        offsets_.empty() ? 0.0 : *std::min_element(offsets_.begin(), offsets_.end());
    return double(steadyNs) * 1e-9 - offset;
}

} // namespace tessmar
