// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/SungPitch.h"

#include <cmath>

namespace tessmar {

SungPitch SungPitch::FromHz(double hz, double concertA) {
    const double semitones = 45.0 + 12.0 * std::log2(hz / concertA);
    const double nearest = std::round(semitones);
    return {hz, static_cast<std::int32_t>(nearest), 100.0 * (semitones - nearest)};
}

} // namespace tessmar
