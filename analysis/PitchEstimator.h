// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/CaptureFormat.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tessmar {

// The sung pitch of a capture block, by aubio's YIN (de Cheveigné and Kawahara's estimator
// for speech and singing). Unlike the note detector, which names the loudest semitone,
// YIN finds the period of the waveform, so a voice whose second harmonic is louder than
// its fundamental is still heard at the note it sings.
class PitchEstimator {
public:
    // Windows of windowFrames frames at rate frames/s; the default is the note display's
    // block. YIN finds periods up to half the window, so the window must hold two periods
    // of the lowest note wanted.
    explicit PitchEstimator(int rate = kSampleRate, int windowFrames = kBlockFrames);
    ~PitchEstimator();
    PitchEstimator(const PitchEstimator&) = delete;
    PitchEstimator& operator=(const PitchEstimator&) = delete;

    // Fundamental frequency in Hz of the left channel of one window (windowFrames
    // interleaved 16-bit stereo frames, as the note detector reads a block); 0 when it has
    // no clear pitch: too quiet, no period YIN is confident of, or below C-0.
    double Estimate(const std::int16_t* frames);

    int windowFrames() const { return windowFrames_; }

private:
    double Unlikeness(const float* in, long lag) const;

    struct Aubio;
    std::unique_ptr<Aubio> aubio_;
    std::array<float, 8> taps_{}; // half of the 2x interpolation filter, nearest first
    const int windowFrames_;
    const int rate_;
    std::vector<float> left_; // the window's left channel with its edges repeated
};

} // namespace tessmar
