// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/ReferenceTone.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace tessmar {
namespace {

constexpr double kAmplitude = 0.25 * 32767; // -12 dBFS: heard, not startling

void Mix(std::int16_t* out, std::size_t frame, double value) {
    for (std::size_t c = 0; c < 2; ++c) {
        std::int16_t& sample = out[2 * frame + c];
        sample = std::int16_t(std::clamp(std::lround(sample + value), -32768L, 32767L));
    }
}

} // namespace

double ReferenceTone::Hz(std::int32_t note, double concertA) {
    return concertA * std::exp2((note - 45) / 12.0);
}

void ReferenceTone::AddNote(std::int16_t* out, std::size_t outStart, std::size_t outFrames,
                            std::size_t at, std::size_t frames, std::int32_t note, int rate,
                            double concertA) {
    // Partials of an 8' principal with a 4' and a quint: the fundamental leads, so the ear
    // (and a pitch tracker) takes it for the note and not its octave.
    constexpr double kPartials[][2] = {{1, 1.0}, {2, 0.45}, {3, 0.25},
                                       {4, 0.2}, {6, 0.08}, {8, 0.05}};
    constexpr double kSum = 2.03;
    const std::size_t from = std::max(at, outStart);
    const std::size_t to = std::min(at + frames, outStart + outFrames);
    if (from >= to) {
        return;
    }
    const double hz = Hz(note, concertA);
    const double attack = 0.02 * rate, release = 0.05 * rate;
    // Each partial turns by a fixed angle a frame: a rotation, not a sine per sample.
    std::complex<double> phase[std::size(kPartials)], turn[std::size(kPartials)];
    for (std::size_t p = 0; p < std::size(kPartials); ++p) {
        const double step = 2.0 * std::numbers::pi * kPartials[p][0] * hz / rate;
        phase[p] = std::polar(1.0, step * double(from - at));
        turn[p] = std::polar(1.0, step);
    }
    for (std::size_t f = from; f < to; ++f) {
        const double k = double(f - at);
        double v = 0.0;
        for (std::size_t p = 0; p < std::size(kPartials); ++p) {
            const auto [n, gain] = kPartials[p];
            if (n * hz < 0.45 * rate) {
                // The upper partials speak a moment after the fundamental, as a pipe does.
                const double speech = std::min(1.0, k / (attack * (1.0 + n / 4.0)));
                v += gain * speech * phase[p].imag();
            }
            phase[p] *= turn[p];
        }
        const double end = std::min(1.0, double(at + frames - 1 - f) / release);
        Mix(out, f - outStart, kAmplitude / kSum * end * v);
    }
}

void ReferenceTone::AddTick(std::int16_t* out, std::size_t outStart, std::size_t outFrames,
                            std::size_t at, int rate, bool accent) {
    const auto frames = std::size_t(0.06 * rate);
    const std::size_t from = std::max(at, outStart);
    const std::size_t to = std::min(at + frames, outStart + outFrames);
    const double pitch = accent ? 1.25 : 1.0;
    for (std::size_t f = from; f < to; ++f) {
        const double t = double(f - at) / rate;
        const double knock = std::sin(2.0 * std::numbers::pi * 1200.0 * pitch * t) +
                             0.5 * std::sin(2.0 * std::numbers::pi * 2750.0 * pitch * t);
        Mix(out, f - outStart, 0.8 * kAmplitude * std::exp(-t / 0.012) * knock);
    }
}

std::vector<std::int16_t> ReferenceTone::Render(std::int32_t note, int rate, double concertA) {
    const auto frames = std::size_t(kSeconds * rate);
    std::vector<std::int16_t> out(frames * 2, 0);
    AddNote(out.data(), 0, frames, 0, frames, note, rate, concertA);
    return out;
}

} // namespace tessmar
