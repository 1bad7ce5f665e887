// SPDX-License-Identifier: GPL-3.0-or-later
// The melody read from a standard MIDI file: tempo map, running status, chords, lyrics,
// the track chosen, and broken files told by the byte.
#include "practice/song/MidiFile.h"

#include <gtest/gtest.h>

namespace tessmar {
namespace {

std::string Chunk(const std::string& id, const std::string& body) {
    const auto n = std::uint32_t(body.size());
    return id + std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)} + body;
}

std::string Midi(const std::string& track, int tracks = 2) {
    const std::string conductor = std::string("\x00\xff\x51\x03\x07\xa1\x20", 7) +     // 0.5 s
                                  std::string("\x83\x60\xff\x51\x03\x0f\x42\x40", 8) + // 1 s
                                  std::string("\x00\xff\x2f\x00", 4);
    return Chunk("MThd", std::string("\x00\x01\x00", 3) + char(tracks) + "\x01\xe0") +
           Chunk("MTrk", conductor) + Chunk("MTrk", track);
}

TEST(MidiFile, TheMelodyByTheTempoMap) {
    // A quarter note at 120 bpm, then at 60: a chord (the top is the melody) with a lyric,
    // then a note in running status ended by a note-on of velocity 0.
    const std::string track = std::string("\x00\xff\x03\x03Sop", 7) +
                              std::string("\x00\xff\x05\x02La\x00\x90\x3c\x50\x00\x43\x50", 13) +
                              std::string("\x83\x60\x80\x3c\x00\x00\x80\x43\x00", 9) +
                              std::string("\x00\x90\x45\x50\x83\x60\x45\x00\x00\xff\x2f\x00", 12);
    std::string error;
    const auto song = MidiFile::Parse(Midi(track), 1, error);
    ASSERT_TRUE(song) << error;
    EXPECT_EQ(song->title, "Sop");
    ASSERT_EQ(song->notes.size(), 2u);
    EXPECT_EQ(song->notes[0].note, 43) << "G-3, the chord's top";
    EXPECT_EQ(song->notes[0].syllable, "La");
    EXPECT_DOUBLE_EQ(song->notes[0].end, 0.5);
    EXPECT_EQ(song->notes[1].note, 45);
    EXPECT_DOUBLE_EQ(song->notes[1].end, 1.5) << "the second quarter at 60 bpm";

    EXPECT_FALSE(MidiFile::Parse(Midi(track), 2, error));
    EXPECT_NE(error.find("1 Spur mit Noten: 1 „Sop“ (3 Noten)"), std::string::npos) << error;
    for (const auto& [bad, told] : {std::pair<std::string, std::string>{"RIFF", "keine MIDI"},
                                    {Midi(std::string("\x00\x3c\x50", 3)), "ohne Status"},
                                    {Midi(std::string("\x00\x90\x3c", 3)), "endet mitten"},
                                    {Midi(std::string("\x00\x90\x3c\x90", 4)), "über 127"},
                                    {Midi(std::string("\x00\x90\xff\x01\x00", 5)), "über 127"},
                                    {Midi(track).substr(0, 40), "länger als die Datei"}}) {
        error.clear();
        EXPECT_FALSE(MidiFile::Parse(bad, 1, error)) << told;
        EXPECT_NE(error.find(told), std::string::npos) << error;
        EXPECT_EQ(error.rfind("Byte ", 0), 0u) << error;
    }
}

// Legato: the next syllable comes before the note-off at the same tick. Drums (channel 10)
// and a piano's A-0 are no melody; the song's name is the tempo track's.
TEST(MidiFile, LegatoLyricsWithoutDrumsUnderTheSongsName) {
    const std::string conductor = std::string("\x00\xff\x03\x04Lied\x00\xff\x2f\x00", 12);
    const std::string track =
        std::string("\x00\xff\x03\x03Sop\x00\xff\x05\x02la\x00\x90\x3c\x50\x00\x99\x51\x50", 21) +
        std::string("\x83\x60\xff\x05\x02le\x00\x80\x3c\x00\x00\x90\x3e\x50\x00\x15\x50", 18) +
        std::string("\x83\x60\x80\x3e\x00\x00\x15\x00\x00\xff\x2f\x00", 12);
    std::string error;
    const auto song = MidiFile::Parse(Chunk("MThd", std::string("\x00\x01\x00\x02\x01\xe0", 6)) +
                                          Chunk("MTrk", conductor) + Chunk("MTrk", track),
                                      1, error);
    ASSERT_TRUE(song) << error;
    EXPECT_EQ(song->title, "Lied");
    EXPECT_EQ(song->part, "Sop");
    ASSERT_EQ(song->notes.size(), 2u);
    EXPECT_EQ(song->notes[0].syllable, "la");
    EXPECT_EQ(song->notes[1].syllable, "le");
    EXPECT_EQ(song->notes[1].note, 38) << "D-3; the A-0 struck with it is left out";
    EXPECT_FALSE(
        MidiFile::Parse(Chunk("MThd", std::string("\x00\x03\x00\x01\x01\xe0", 6)), 1, error));
    EXPECT_NE(error.find("das MIDI-Format 3 ist unbekannt"), std::string::npos) << error;
}

// Format 0: the voice on channel 1 under a higher part on channel 2, each its own track.
TEST(MidiFile, AFormatZeroFilesChannelsAreItsTracks) {
    const std::string track =
        std::string("\x00\xff\x03\x04Lied\x00\x90\x3c\x50\x00\x91\x48\x50", 16) +
        std::string("\x83\x60\x80\x3c\x00\x00\x81\x48\x00\x00\xff\x2f\x00", 13);
    const std::string file =
        Chunk("MThd", std::string("\x00\x00\x00\x01\x01\xe0", 6)) + Chunk("MTrk", track);
    std::string error;
    const auto each = MidiFile::Each(file, error);
    ASSERT_EQ(each.size(), 2u) << error;
    ASSERT_TRUE(each[0] && each[1]);
    EXPECT_EQ(each[0]->notes.at(0).note, 36) << "C-3, the voice alone";
    EXPECT_EQ(each[0]->part, "Kanal 1");
    EXPECT_EQ(each[1]->notes.at(0).note, 48);
    EXPECT_EQ(each[1]->title, "Lied");
}

} // namespace
} // namespace tessmar
