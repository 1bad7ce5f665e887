// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/exercise/ExerciseSession.h"
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
    // A song's voice made ready to sing: the session (its targets after the count-in, with
    // their syllables) and the sound to sing it to.
    struct Prepared {
        ExerciseSession session;
        std::shared_ptr<SongSound> sound;
    };
    // nullopt with the reason when the voice has nothing to score or the notes, transposed,
    // leave C-0 … G-10. countIn: quarter notes before the melody played for want of audio.
    static std::optional<Prepared> Prepare(const Song& song, int voice, int transpose, int countIn,
                                           const ExerciseScorer::Settings& scoring, int rate,
                                           std::string& error);

    // melody: the targets as sung, from the song's time 0.
    SongSound(const Song& song, const std::vector<TargetNote>& melody, int rate, double concertA,
              int transpose, int countIn);
    ~SongSound();

    // Quarter notes of count-in before the song's time 0: none before its own audio.
    int countInBeats() const { return audio_ ? 0 : countIn_; }
    double beatSeconds() const { return quarter_; }
    // Why the song's audio isn't played, in German; empty when it is, or none is named.
    const std::string& told() const { return told_; }
    std::size_t frames() const { return frames_; }
    // The next stretch, in order: interleaved 16-bit stereo into out, silent until now.
    void Render(std::size_t from, std::int16_t* out, std::size_t count);

private:
    double quarter_;
    std::unique_ptr<SoundFileDecoder> audio_;
    std::optional<ExerciseSound> melody_;
    std::string told_;
    int countIn_;
    std::size_t frames_ = 0;
};

} // namespace tessmar
