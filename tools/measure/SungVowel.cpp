// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/measure/SungVowel.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace tessmar::measure {

std::vector<std::int16_t> SungVowel::Render(int rate, std::size_t frames,
                                            std::vector<double>* trueCents) const {
    constexpr double kBandwidth[3] = {80, 90, 120};
    const auto harmonics = std::max(1, int(std::min(5000.0, rate / 2.0 - 200) / hz));
    // Each harmonic's amplitude at its nominal frequency: source tilt times the formants.
    std::vector<double> gain(std::size_t(harmonics) + 1, 0.0);
    double peak = 0.0;
    for (int k = 1; k <= harmonics; ++k) {
        const double f = k * hz;
        double g = 1.0 / (k * k);
        for (int i = 0; i < 3; ++i) {
            const double F = formants[i], B = kBandwidth[i];
            g *= F * F / std::sqrt((F * F - f * f) * (F * F - f * f) + B * B * f * f);
        }
        gain[std::size_t(k)] = g;
        peak += g;
    }
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<std::int16_t> out(frames * 2);
    double phase = 0.0, jitter = 0.0;
    for (std::size_t n = 0; n < frames; ++n) {
        const double t = double(n) / rate;
        jitter = 0.999 * jitter + 0.0003 * noise(random); // slow wander, a few cents
        const double cents =
            vibratoCents * std::sin(2 * std::numbers::pi * 5.5 * t) + 100.0 * jitter;
        const double f = hz * std::exp2(cents / 1200.0);
        if (trueCents) {
            trueCents->push_back(4500.0 + 1200.0 * std::log2(f / 440.0));
        }
        phase += 2 * std::numbers::pi * f / rate;
        phase = std::fmod(phase, 2 * std::numbers::pi * 1024);
        double v = 0.0;
        for (int k = 1; k <= harmonics; ++k) {
            v += gain[std::size_t(k)] * std::sin(k * phase);
        }
        v = level * v / peak + this->noise * noise(random);
        out[2 * n] = out[2 * n + 1] = std::int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
    }
    return out;
}

} // namespace tessmar::measure
