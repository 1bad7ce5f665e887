// SPDX-License-Identifier: GPL-3.0-or-later
// What is played along: the melody where the song's recording can't be played or no
// longer fits the transposed notes, and nothing where a voice has no note to score.
#include "practice/song/SongSound.h"

#include "practice/song/SongFile.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tessmar {
namespace {

TEST(SongSound, TheMelodyStandsInWhereTheRecordingDoesNotFit) {
    Song song;
    song.beatSeconds = 0.125;
    song.audio = "/nonexistent/lied.ogg";
    song.notes = {{Song::Note::Kind::Normal, 1, 1.0, 1.5, 40, "la", false},
                  {Song::Note::Kind::Freestyle, 2, 1.0, 1.5, 40, "la", false}};
    song.voices = 2;
    std::string error;
    EXPECT_FALSE(SongSound::Prepare(song, 2, 0, 4, {}, 16000, error)) << "freestyle only";
    EXPECT_EQ(error, "Die Stimme hat keine Noten, die bewertet werden.");
    for (const int transpose : {0, 3}) {
        auto prepared = SongSound::Prepare(song, 1, transpose, 2, {}, 16000, error);
        ASSERT_TRUE(prepared) << error;
        EXPECT_EQ(prepared->sound->countInBeats(), 2) << "the melody after the count-in asked";
        EXPECT_EQ(prepared->sound->told(),
                  transpose ? "Transponiert passt die Aufnahme des Lieds nicht zu den Noten; es "
                              "spielt die Melodie."
                            : "Die Audiodatei „lied.ogg“ lässt sich nicht abspielen (Die Datei ist "
                              "nicht vorhanden); es spielt die Melodie.");
    }
}

// What "Lied öffnen" offers: the voices and tracks with notes to score, by their numbers.
TEST(SongFile, OffersEachVoiceWithNotesToScore) {
    const std::string path = testing::TempDir() + "parts-" + std::to_string(getpid()) + ".txt";
    std::ofstream(path) << "#BPM:100\n#P1:Anna\nP1\n: 0 4 0 a\nP2\nF 0 4 0 b\nE\n";
    std::string error;
    const auto parts = SongFile::Parts(path, error);
    ASSERT_EQ(parts.size(), 1u) << error;
    EXPECT_EQ(parts[0].label, "Stimme 1 (Anna)") << "the second voice is freestyle only";
    std::ofstream(path) << "#BPM:100\nF 0 4 0 b\nE\n";
    EXPECT_TRUE(SongFile::Parts(path, error).empty());
    EXPECT_EQ(error, "Keine Stimme hat Noten, die bewertet werden");
    std::remove(path.c_str());
}

} // namespace
} // namespace tessmar
