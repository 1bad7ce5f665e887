#include "audio/WaveformTrace.h"

namespace tessmar {

WaveformTrace TraceBlock(const std::uint8_t* block, std::uint32_t n, int width, int height) {
    WaveformTrace trace{width, height, {}};
    if (width <= 0 || std::int64_t(width) >= std::int64_t(n)) {
        return trace;
    }
    const std::int64_t step = (n / 4) / std::uint32_t(width);
    const std::int64_t half = height / 2;
    trace.y.resize(std::size_t(width));
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = block + x * step * 4;
        const auto s = static_cast<std::int16_t>(p[0] | p[1] << 8);
        trace.y[std::size_t(x)] = static_cast<int>(s * half / 32767 + half);
    }
    return trace;
}

} // namespace tessmar
