// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/SungPitch.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessmar {

// The reference tone a singer matches: an organ's flue pipes, a fundamental with the
// octaves and the fifths above it softer, exactly in tune and steady for as long as the note
// lasts, with a short speech at the start and a soft release against clicks. And the
// count-in's tick, a short wooden knock. Both mix into a stretch of a longer sound, so that
// a sound minutes long is made as it plays, a stretch at a time.
class ReferenceTone {
public:
    static constexpr int kRate = 44100;
    static constexpr double kSeconds = 1.0;

    // A note for kSeconds: interleaved 16-bit stereo at rate, equal temperament with A-3
    // (NoteIndex 45) at concertA.
    static std::vector<std::int16_t> Render(std::int32_t note, int rate = kRate,
                                            double concertA = kConcertA);
    // Mixes the part of a note from frame `at` for `frames` frames that falls into out, which
    // holds the interleaved stereo frames from outStart on, outFrames of them.
    static void AddNote(std::int16_t* out, std::size_t outStart, std::size_t outFrames,
                        std::size_t at, std::size_t frames, std::int32_t note, int rate,
                        double concertA);
    // Mixes a tick at frame `at` in the same way; the first beat of a bar is accented.
    static void AddTick(std::int16_t* out, std::size_t outStart, std::size_t outFrames,
                        std::size_t at, int rate, bool accent);
    static double Hz(std::int32_t note, double concertA = kConcertA);
};

} // namespace tessmar
