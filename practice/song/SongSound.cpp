// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/song/SongSound.h"

#include "analysis/NoteNaming.h"
#include "platform/decoding/SoundFileDecoder.h"

#include <algorithm>
#include <cmath>

namespace tessmar {

SongSound::SongSound(const Song& song, const std::vector<TargetNote>& melody, int rate,
                     double concertA, int transpose, int countIn)
    : quarter_(song.beatSeconds > 0.0 ? 4.0 * song.beatSeconds : 0.5), countIn_(countIn) {
    // Sung along to, the song without its voice is best; the whole song will do. Moved by
    // other than octaves, its recording no longer fits the notes.
    const bool fits = transpose % 12 == 0;
    if (!fits && !(song.instrumental.empty() && song.audio.empty())) {
        told_ = "Transponiert passt die Aufnahme des Lieds nicht zu den Noten";
    }
    for (const std::string* path : {&song.instrumental, &song.audio}) {
        std::string error;
        if (fits && !path->empty() && !audio_ &&
            !(audio_ = SoundFileDecoder::Open(*path, error, rate))) {
            told_ = "Die Audiodatei „" + path->substr(path->rfind('/') + 1) +
                    "“ lässt sich nicht abspielen (" + error + ")";
        }
    }
    told_ = audio_ || told_.empty() ? std::string() : told_ + "; es spielt die Melodie.";
    double end = melody.empty() ? 0.0 : melody.back().end;
    if (audio_) {
        frames_ = std::size_t(std::lround((end + 2.0) * rate)); // the melody's end and a breath
        return;
    }
    std::vector<TargetNote> after = melody;
    for (TargetNote& t : after) {
        t.start += countIn_ * quarter_;
        t.end += countIn_ * quarter_;
    }
    melody_.emplace(after, countIn_, quarter_, rate, concertA);
    frames_ = melody_->frames();
}

SongSound::~SongSound() = default;

std::optional<SongSound::Prepared> SongSound::Prepare(const Song& song, int voice, int transpose,
                                                      int countIn,
                                                      const ExerciseScorer::Settings& scoring,
                                                      int rate, std::string& error) {
    const std::vector<TargetNote> melody = song.Targets(voice, transpose, 0.0);
    if (melody.empty()) {
        error = "Die Stimme hat keine Noten, die bewertet werden.";
        return std::nullopt;
    }
    for (const TargetNote& t : melody) {
        if (NoteName(t.note).empty()) {
            error = "Um " + std::to_string(transpose) +
                    " Halbtöne verschoben reicht das Lied über C-0 bis G-10 hinaus.";
            return std::nullopt;
        }
    }
    auto sound =
        std::make_shared<SongSound>(song, melody, rate, scoring.concertA, transpose, countIn);
    std::vector<std::string> words;
    std::vector<TargetNote> targets =
        song.Targets(voice, transpose, sound->countInBeats() * sound->beatSeconds(), &words);
    return Prepared{ExerciseSession(std::move(targets), sound->countInBeats(), sound->beatSeconds(),
                                    scoring, std::move(words)),
                    std::move(sound)};
}

void SongSound::Render(std::size_t from, std::int16_t* out, std::size_t count) {
    if (melody_) {
        melody_->Render(from, out, count);
    } else {
        audio_->Read(out, count); // from where the last stretch ended; silence after its end
    }
}

} // namespace tessmar
