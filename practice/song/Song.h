// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/exercise/Exercise.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessmar {

// A song's vocal line as read from a file: its notes and syllables, their timing, and the
// audio to sing along to.
struct Song {
    struct Note {
        enum class Kind : std::uint8_t { Normal, Golden, Freestyle, Rap, GoldenRap };
        Kind kind = Kind::Normal;
        int voice = 0;      // 0: everyone; 1, 2: a duet's first or second voice
        double start = 0.0; // seconds from the song's time 0
        double end = 0.0;
        std::int32_t note = 0; // NoteIndex, A-3 = 45
        std::string syllable;  // UTF-8, its spaces kept: they part the words
        bool phraseEnds = false;
    };

    std::string title, artist;
    // Paths beside the song file, or empty: the whole song, and the song without and with
    // only its voice.
    std::string audio, instrumental, vocals;
    std::vector<Note> notes;            // in the file's order, each voice in time order
    int voices = 1;                     // 2 for a duet
    std::array<std::string, 2> singers; // a duet's voices' names (#P1, #P2), or empty
    int tracks = 1;                     // a MIDI file's tracks with notes
    std::string part;                   // the MIDI track's name
    double beatSeconds = 0.0;           // a quarter of the file's BPM: a quarter note is four

    // The notes of one voice (for a duet 1 or 2), transposed, as targets: freestyle notes
    // are shown but not scored, so they are left out.
    // words, when given, gets each target's syllable.
    std::vector<TargetNote> Targets(int voice, int transpose, double offset,
                                    std::vector<std::string>* words = nullptr) const;
};

} // namespace tessmar
