// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace tessmar {

// "5" → "05"; texts of two characters or more stay as they are.
std::string PadTwoDigits(const std::string& text);

// Minutes without leading zeros and without an upper limit, then two-digit seconds:
// 83,456 ms → "1:23", 3,725,000 ms → "62:05". Negative times count as 0.
std::string TimeText(std::int32_t milliseconds);

// The progress bar's position 0..100 for a position within a length; 0 for no length.
int ProgressPercent(std::int32_t position, std::int32_t length);

} // namespace tessmar
