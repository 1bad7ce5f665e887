// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/DemoSinger.h"

#include "analysis/SemitoneDetector.h"
#include "platform/capture/CaptureFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tessmar {
namespace {

// C major from C-4 up to C-5 and back; the turning notes are sung once per pass.
constexpr std::int32_t kScale[DemoSinger::kScaleLength] = {48, 50, 52, 53, 55, 57, 59,
                                                           60, 59, 57, 55, 53, 52, 50};

// Relative strengths of the harmonics; the fundamental clearly leads, as in a sung vowel.
constexpr double kHarmonics[] = {1.0, 0.30, 0.15, 0.08};
constexpr double kAmplitude = 9000.0;
constexpr double kVibratoHz = 5.5;
constexpr double kVibratoDepth = 0.004; // relative frequency swing, well within a semitone
constexpr double kOnsetFrames = 220.0;  // 20 ms fade in and out against clicks, at 11025 Hz

// One cycle of the voice (the harmonics summed) and of a plain sine, read with linear
// interpolation: the sines were most of what the demo input cost. At this size the
// error stays below a twentieth of a sample step.
constexpr std::size_t kTableSize = 2048;
struct Cycles {
    std::array<double, kTableSize + 1> voice{};
    std::array<double, kTableSize + 1> sine{};
};

const Cycles& TheCycles() {
    static const Cycles cycles = [] {
        Cycles c;
        for (std::size_t i = 0; i <= kTableSize; ++i) {
            const double angle = 2 * std::numbers::pi * double(i) / kTableSize;
            c.sine[i] = std::sin(angle);
            for (std::size_t k = 0; k < std::size(kHarmonics); ++k) {
                c.voice[i] += kHarmonics[k] * std::sin(double(k + 1) * angle);
            }
        }
        return c;
    }();
    return cycles;
}

// The value at `phase` cycles, 0 <= phase < 1.
double Read(const std::array<double, kTableSize + 1>& cycle, double phase) {
    const double at = phase * kTableSize;
    const auto i = static_cast<std::size_t>(at);
    return cycle[i] + (at - double(i)) * (cycle[i + 1] - cycle[i]);
}

} // namespace

DemoSinger::DemoSinger(int rate)
    : rate_(rate), framesPerNote_(std::size_t(rate) * kFramesPerNote / kSampleRate),
      onsetFrames_(kOnsetFrames * rate / kSampleRate) {}

std::int32_t DemoSinger::NoteAt(std::size_t slot) {
    return kScale[slot % kScaleLength];
}

void DemoSinger::Render(std::int16_t* frames, std::size_t frameCount) {
    const Cycles& cycles = TheCycles();
    const double vibratoStep = kVibratoHz / rate_;
    const std::size_t perNote = framesPerNote_;
    while (frameCount > 0) {
        // What stays the same for the rest of this note.
        const std::size_t inNote = frame_ % perNote;
        const std::size_t run = std::min(frameCount, perNote - inNote);
        const double step = NoteFrequencies[NoteAt(frame_ / perNote)] / rate_;
        for (std::size_t i = 0; i < run; ++i) {
            const double vibrato = 1.0 + kVibratoDepth * Read(cycles.sine, vibratoPhase_);
            phase_ += step * vibrato;
            phase_ -= phase_ >= 1.0 ? 1.0 : 0.0;
            vibratoPhase_ += vibratoStep;
            vibratoPhase_ -= vibratoPhase_ >= 1.0 ? 1.0 : 0.0;

            const double edge = double(std::min(inNote + i, perNote - 1 - inNote - i));
            const double envelope = std::min(1.0, edge * (1.0 / onsetFrames_));
            const double sample = kAmplitude * envelope * Read(cycles.voice, phase_);
            // Rounded half away from zero, without a call into the maths library.
            const auto value = static_cast<std::int16_t>(sample < 0 ? sample - 0.5 : sample + 0.5);
            frames[0] = value;
            frames[1] = value;
            frames += 2;
        }
        frame_ += run;
        frameCount -= run;
    }
}

} // namespace tessmar
