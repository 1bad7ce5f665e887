// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/exercise/ExerciseSound.h"
#include "practice/song/Song.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tessmar {

class SoundFileDecoder;

// What the output plays while a song is sung: the song's own audio (without its voice where
// the file names such a track) when it decodes, from its time 0; otherwise the melody on the
// reference tone after a bar of count-in. Made as it plays, one stretch after the other.
class SongSound {
public:
    // melody: the targets as sung, from the song's time 0.
    SongSound(const Song& song, const std::vector<TargetNote>& melody, int rate, double concertA);
    ~SongSound();

    // Quarter notes of count-in before the song's time 0: none before its own audio.
    int countInBeats() const { return audio_ ? 0 : kCountIn; }
    double beatSeconds() const { return quarter_; }
    // Why the song's audio isn't played, in German; empty when it is, or none is named.
    const std::string& told() const { return told_; }
    std::size_t frames() const { return frames_; }
    // The next stretch, in order: interleaved 16-bit stereo into out, silent until now.
    void Render(std::size_t from, std::int16_t* out, std::size_t count);

private:
    static constexpr int kCountIn = 4;
    double quarter_;
    std::unique_ptr<SoundFileDecoder> audio_;
    std::optional<ExerciseSound> melody_;
    std::string told_;
    std::size_t frames_ = 0;
};

} // namespace tessmar
