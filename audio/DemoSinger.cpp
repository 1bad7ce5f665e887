#include "audio/DemoSinger.h"

#include "analysis/SemitoneDetector.h"
#include "platform/capture/CaptureFormat.h"

#include <algorithm>
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
constexpr double kOnsetFrames = 220.0;  // 20 ms fade in and out against clicks

} // namespace

std::int32_t DemoSinger::NoteAt(std::size_t slot) {
    return kScale[slot % kScaleLength];
}

void DemoSinger::Render(std::int16_t* frames, std::size_t frameCount) {
    for (std::size_t i = 0; i < frameCount; ++i, ++frame_) {
        const std::size_t slot = frame_ / kFramesPerNote;
        const std::size_t inNote = frame_ % kFramesPerNote;
        const double base = NoteFrequencies[NoteAt(slot)];
        const double vibrato = 1.0 + kVibratoDepth * std::sin(2 * std::numbers::pi * vibratoPhase_);
        phase_ += base * vibrato / kSampleRate;
        phase_ -= std::floor(phase_);
        vibratoPhase_ += kVibratoHz / kSampleRate;
        vibratoPhase_ -= std::floor(vibratoPhase_);

        // sin(k x) for the harmonics from sin x and cos x alone:
        // sin((k + 1) x) = 2 cos x sin(k x) - sin((k - 1) x).
        const double angle = 2 * std::numbers::pi * phase_;
        const double twiceCos = 2 * std::cos(angle);
        double previous = 0.0;
        double current = std::sin(angle);
        double sample = 0.0;
        for (const double strength : kHarmonics) {
            sample += strength * current;
            const double next = twiceCos * current - previous;
            previous = current;
            current = next;
        }
        const double edge = std::min(double(inNote), double(kFramesPerNote - 1 - inNote));
        const double envelope = std::min(1.0, edge / kOnsetFrames);
        const auto value = static_cast<std::int16_t>(std::lround(kAmplitude * envelope * sample));
        frames[2 * i] = value;
        frames[2 * i + 1] = value;
    }
}

} // namespace tessmar
