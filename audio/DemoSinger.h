// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/CaptureFormat.h"

#include <cstddef>
#include <cstdint>

namespace tessmar {

// A built-in singer for trying the program without a microphone: a voice-like tone
// (fundamental plus a few weaker harmonics, a gentle vibrato, soft note onsets) that
// sings the C major scale from C-4 up to C-5 and back down, half a second a note, over
// and over. Produces the capture format: 16-bit stereo at 11025 frames/s (or the rate asked
// for), both sides equal.
class DemoSinger {
public:
    explicit DemoSinger(int rate = kSampleRate);

    static constexpr int kScaleLength = 14; // C-4 up to C-5, down to D-4, then over again
    static constexpr std::size_t kFramesPerNote = 5512; // at the capture format's rate

    // NoteIndex sung in the given note slot of the endless scale.
    static std::int32_t NoteAt(std::size_t slot);

    // Appends the next frameCount interleaved stereo frames.
    void Render(std::int16_t* frames, std::size_t frameCount);

private:
    const int rate_;
    const std::size_t framesPerNote_;
    const double onsetFrames_;
    std::size_t frame_ = 0;
    double phase_ = 0.0;        // of the fundamental, in cycles
    double vibratoPhase_ = 0.0; // in cycles
};

} // namespace tessmar
