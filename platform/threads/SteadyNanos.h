// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>

namespace tessmar {

// The steady clock in nanoseconds: the stamps a block or an update carries from the device
// to the window, so that threads can compare them.
inline std::int64_t SteadyNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace tessmar
