// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/WaveformTrace.h"

namespace tessmar {

WaveformTrace TraceBlock(const std::uint8_t* block, std::uint32_t n, int width, int height) {
    WaveformTrace trace;
    TraceBlock(block, n, width, height, trace);
    return trace;
}

void TraceBlock(const std::uint8_t* block, std::uint32_t n, int width, int height,
                WaveformTrace& into) {
    into.width = width;
    into.height = height;
    into.y.clear(); // keeps the capacity
    if (width <= 0 || std::int64_t(width) >= std::int64_t(n)) {
        return;
    }
    const std::int64_t step = (n / 4) / std::uint32_t(width);
    const std::int64_t half = height / 2;
    into.y.resize(std::size_t(width));
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = block + x * step * 4;
        const auto s = static_cast<std::int16_t>(p[0] | p[1] << 8);
        into.y[std::size_t(x)] = static_cast<int>(s * half / 32767 + half);
    }
}

} // namespace tessmar
