// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/profile/ProfileStore.h"
#include "practice/exercise/Exercise.h"
#include "practice/exercise/ExerciseSound.h"

#include <string>

namespace tessmar {

// The exercise settings kept between runs in the practice program's INI file: the last
// exercise and its key note, rounds, tempo and direction, the tolerance, the reference, the
// concert pitch and the voice type, and the delay for each pair of input and output. A value
// the file holds that is out of range or unreadable gives way to the default.
struct ExerciseSettings {
    static constexpr const char* kSection = "Uebung";
    static constexpr const char* kDelaySection = "Verzoegerung";
    // "Bass" … "Sopran", each with the lowest and highest note comfortably sung.
    struct Voice {
        const char* name;
        std::int32_t lowest, highest;
    };
    static const Voice kVoices[6];

    Exercise exercise;
    int toleranceCents = 50; // 50, 25 or 10 in the form; 1 … 100 from the command line
    ExerciseSound::Reference reference = ExerciseSound::Reference::Vorher;
    int concertA = 440;
    static constexpr const char* kOwnRange = "Umfang"; // the voice: the range sung
    std::string voice;                      // one of kVoices, kOwnRange, or empty: none chosen
    std::int32_t lowest = -1, highest = -1; // the range sung and kept; -1: none
    int delayMs = 0;                        // for the input and output it was read for

    // The key the delay is kept under: the input and output as the environment names them.
    static std::string DevicePair(const char* input, const char* output);
    static ExerciseSettings Load(ProfileStore& store, const std::string& devicePair);
    // False when the file could not be written.
    bool Save(ProfileStore& store, const std::string& devicePair) const;
    // The key note and rounds that keep the exercise within a voice's range.
    static void FitTo(const Voice& voice, Exercise& exercise);
};

} // namespace tessmar
