#pragma once

#include <cstddef>
#include <cstdint>

namespace tessmar {

// A built-in singer for trying the program without a microphone: a voice-like tone
// (fundamental plus a few weaker harmonics, a gentle vibrato, soft note onsets) that
// sings the C major scale from C-4 up to C-5 and back down, half a second a note, over
// and over. Produces the capture format: 16-bit stereo at 11025 frames/s, both sides equal.
class DemoSinger {
public:
    static constexpr int kScaleLength = 14; // C-4 up to C-5, down to D-4, then over again
    static constexpr std::size_t kFramesPerNote = 5512;

    // NoteIndex sung in the given note slot of the endless scale.
    static std::int32_t NoteAt(std::size_t slot);

    // Appends the next frameCount interleaved stereo frames.
    void Render(std::int16_t* frames, std::size_t frameCount);

private:
    std::size_t frame_ = 0;
    double phase_ = 0.0;        // of the fundamental, in cycles
    double vibratoPhase_ = 0.0; // in cycles
};

} // namespace tessmar
