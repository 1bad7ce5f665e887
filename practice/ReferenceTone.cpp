// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/ReferenceTone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessmar {

double ReferenceTone::Hz(std::int32_t note, double concertA) {
    return concertA * std::exp2((note - 45) / 12.0);
}

std::vector<std::int16_t> ReferenceTone::Render(std::int32_t note, int rate, double concertA) {
    constexpr double kAmplitude = 0.25 * 32767; // -12 dBFS: heard, not startling
    constexpr double kHarmonics[] = {1.0, 0.25, 0.1};
    const auto frames = std::size_t(kSeconds * rate);
    const double fade = 0.03 * rate;
    const double step = 2.0 * std::numbers::pi * Hz(note, concertA) / rate;
    std::vector<std::int16_t> out(frames * 2);
    for (std::size_t k = 0; k < frames; ++k) {
        double v = 0.0;
        for (std::size_t h = 0; h < std::size(kHarmonics); ++h) {
            v += kHarmonics[h] * std::sin(double(h + 1) * step * double(k));
        }
        const double edge = double(std::min(k, frames - 1 - k));
        const double envelope = std::min(1.0, edge / fade);
        out[2 * k] = out[2 * k + 1] = std::int16_t(std::lround(kAmplitude / 1.35 * envelope * v));
    }
    return out;
}

} // namespace tessmar
