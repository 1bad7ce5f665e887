// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessmar {

// One note to sing: when, in seconds from the first captured frame.
struct TargetNote {
    // How a song's note counts: a golden one twice, a rap note wherever a voice is heard.
    enum class Kind : std::uint8_t { Normal, Golden, Rap, GoldenRap };
    std::int32_t note; // NoteIndex, A-3 = 45
    double start;
    double end;
    Kind kind = Kind::Normal;

    bool rap() const { return kind == Kind::Rap || kind == Kind::GoldenRap; }
    bool golden() const { return kind == Kind::Golden || kind == Kind::GoldenRap; }
};

// A voice teacher's warm-up, generated: a pattern of notes sung in rounds, each round a
// semitone higher (or lower) than the last, after a count-in.
struct Exercise {
    enum class Kind {
        Treffen,   // a note is played, then sung
        Halten,    // one note held for four beats
        Tonleiter, // 1-2-3-4-5-4-3-2-1 of a major scale
        Dreiklang, // 1-3-5-8-5-3-1
        Intervall, // an interval up and down
    };

    Kind kind = Kind::Tonleiter;
    std::int32_t start = 36; // the first round's key note (C-3)
    int rounds = 5;
    int bpm = 80;
    int step = 1;     // semitones from one round to the next: +1 up, -1 down
    int interval = 7; // Intervall's, in semitones (a fifth)
    int countInBeats = 4;

    // "treffen", "halten", "tonleiter", "dreiklang", "intervall".
    static std::optional<Kind> KindNamed(const std::string& name);
    static std::string NameOf(Kind kind);

    double Beat() const { return 60.0 / bpm; }
    // Every note of every round, in time order. Treffen leaves two beats before each note
    // for hearing it; every round ends with a beat's rest.
    std::vector<TargetNote> Targets() const;
};

} // namespace tessmar
