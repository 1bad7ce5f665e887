// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/ReferenceTone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessmar {
namespace {

constexpr double kAmplitude = 0.25 * 32767; // -12 dBFS: heard, not startling

void Mix(std::vector<std::int16_t>& stereo, std::size_t frame, double value) {
    for (std::size_t c = 0; c < 2; ++c) {
        std::int16_t& sample = stereo[2 * frame + c];
        sample = std::int16_t(std::clamp(std::lround(sample + value), -32768L, 32767L));
    }
}

} // namespace

double ReferenceTone::Hz(std::int32_t note, double concertA) {
    return concertA * std::exp2((note - 45) / 12.0);
}

void ReferenceTone::AddNote(std::vector<std::int16_t>& stereo, std::size_t at, std::size_t frames,
                            std::int32_t note, int rate, double concertA) {
    // Partials of an 8' principal with a 4' and a quint: the fundamental leads, so the ear
    // (and a pitch tracker) takes it for the note and not its octave.
    constexpr double kPartials[][2] = {{1, 1.0}, {2, 0.45}, {3, 0.25},
                                       {4, 0.2}, {6, 0.08}, {8, 0.05}};
    constexpr double kSum = 2.03;
    const double hz = Hz(note, concertA);
    const double attack = 0.02 * rate, release = 0.05 * rate;
    frames = std::min(frames, stereo.size() / 2 - std::min(stereo.size() / 2, at));
    for (std::size_t k = 0; k < frames; ++k) {
        const double t = double(k) / rate;
        double v = 0.0;
        for (const auto& [n, gain] : kPartials) {
            if (n * hz < 0.45 * rate) {
                // The upper partials speak a moment after the fundamental, as a pipe does.
                const double speech = std::min(1.0, double(k) / (attack * (1.0 + n / 4.0)));
                v += gain * speech * std::sin(2.0 * std::numbers::pi * n * hz * t);
            }
        }
        const double end = std::min(1.0, double(frames - 1 - k) / release);
        Mix(stereo, at + k, kAmplitude / kSum * end * v);
    }
}

void ReferenceTone::AddTick(std::vector<std::int16_t>& stereo, std::size_t at, int rate,
                            bool accent) {
    const auto frames =
        std::min(std::size_t(0.06 * rate), stereo.size() / 2 - std::min(stereo.size() / 2, at));
    const double pitch = accent ? 1.25 : 1.0;
    for (std::size_t k = 0; k < frames; ++k) {
        const double t = double(k) / rate;
        const double knock = std::sin(2.0 * std::numbers::pi * 1200.0 * pitch * t) +
                             0.5 * std::sin(2.0 * std::numbers::pi * 2750.0 * pitch * t);
        Mix(stereo, at + k, 0.8 * kAmplitude * std::exp(-t / 0.012) * knock);
    }
}

std::vector<std::int16_t> ReferenceTone::Render(std::int32_t note, int rate, double concertA) {
    const auto frames = std::size_t(kSeconds * rate);
    std::vector<std::int16_t> out(frames * 2, 0);
    AddNote(out, 0, frames, note, rate, concertA);
    return out;
}

} // namespace tessmar
