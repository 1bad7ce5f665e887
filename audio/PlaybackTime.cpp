// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/PlaybackTime.h"

#include <algorithm>

namespace tessmar {

std::string PadTwoDigits(const std::string& text) {
    return text.size() < 2 ? "0" + text : text;
}

std::string TimeText(std::int32_t milliseconds) {
    const std::int32_t seconds = std::max<std::int32_t>(milliseconds, 0) / 1000;
    return std::to_string(seconds / 60) + ":" + PadTwoDigits(std::to_string(seconds % 60));
}

int ProgressPercent(std::int32_t position, std::int32_t length) {
    if (length <= 0) {
        return 0;
    }
    // Wide enough for position × 100 of any 32-bit time.
    const std::int64_t percent = std::int64_t{position} * 100 / length;
    return static_cast<int>(std::clamp<std::int64_t>(percent, 0, 100));
}

} // namespace tessmar
