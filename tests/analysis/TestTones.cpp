// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/TestTones.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessmar::test {

Block MakeBlock(const Signal& left, const Signal& right) {
    Block block{};
    auto put = [&](int offset, double value) {
        const auto s = static_cast<std::int16_t>(std::lround(std::clamp(value, -32768.0, 32767.0)));
        const auto u = static_cast<std::uint16_t>(s);
        block[offset] = static_cast<std::uint8_t>(u);
        block[offset + 1] = static_cast<std::uint8_t>(u >> 8);
    };
    for (int k = 0; k < kBlockFrames; ++k) {
        put(k * kFrameBytes, left(k));
        put(k * kFrameBytes + 2, right(k));
    }
    return block;
}

Signal BinCosine(double amplitude, double bin) {
    return [=](int k) { return amplitude * std::cos(2 * std::numbers::pi * bin * k / 1024.0); };
}

} // namespace tessmar::test
