#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace tessmar {

// The sung pitch of a capture block, by aubio's YIN (de Cheveigné and Kawahara's estimator
// for speech and singing). Unlike the note detector, which names the loudest semitone,
// YIN finds the period of the waveform, so a voice whose second harmonic is louder than
// its fundamental is still heard at the note it sings.
class PitchEstimator {
public:
    PitchEstimator();
    ~PitchEstimator();
    PitchEstimator(const PitchEstimator&) = delete;
    PitchEstimator& operator=(const PitchEstimator&) = delete;

    // Fundamental frequency in Hz of the left channel of one block (kBlockFrames
    // interleaved 16-bit stereo frames, as the note detector reads it); 0 when the block
    // has no clear pitch: too quiet, no period YIN is confident of, or below C-0.
    double Estimate(const std::int16_t* frames);

private:
    struct Aubio;
    std::unique_ptr<Aubio> aubio_;
    std::array<float, 8> taps_{}; // half of the 2x interpolation filter, nearest first
};

} // namespace tessmar
