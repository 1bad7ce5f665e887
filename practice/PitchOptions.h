// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/exercise/Exercise.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tessmar {

// tessmar-pitch's command line: --log FILE, an exercise or a song with its settings and
// score file,
// --help, --version. Qt-free, so that --help and --version answer without a display.
struct PitchOptions {
    std::string log;
    bool exercising = false;     // --exercise given
    bool measuringDelay = false; // --measure-delay
    Exercise exercise;
    int toleranceCents = 50;
    int delayMs = 0;
    std::string score;  // empty: none
    int concertA = 440; // Hz, A-3 for the cents, the targets and the reference
    bool concertPitchGiven = false;
    bool delayGiven = false;
    bool toleranceGiven = false; // else the window keeps its own
    std::string song;            // --song FILE; empty: none
    int track = 1;               // a duet's voice
    int transpose = 0;           // semitones
    bool strictOctave = false;   // in a song the octave counts only with --strict-octave
    std::string history;         // --history FILE: the takes kept, as CSV ("-": standard output)

    // The options, or the exit status when the program ends here (after --help or
    // --version on out, or a wrong call told on err).
    static std::optional<PitchOptions> Parse(const std::vector<std::string>& arguments,
                                             std::ostream& out, std::ostream& err, int& status);
};

} // namespace tessmar
