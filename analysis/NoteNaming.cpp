// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/NoteNaming.h"

#include "analysis/SemitoneDetector.h"

namespace tessmar {
namespace {

constexpr const char* kPrefixes[12] = {"C-",  "C#-", "D-",  "D#-", "E-",  "F-",
                                       "F#-", "G-",  "G#-", "A-",  "A#-", "H-"};

bool IsNote(std::int32_t noteIndex) {
    return noteIndex >= 0 && noteIndex < kNoteCount;
}

} // namespace

std::string NoteName(std::int32_t noteIndex) {
    if (!IsNote(noteIndex)) {
        return {};
    }
    return kPrefixes[noteIndex % 12] + std::to_string(noteIndex / 12);
}

std::int32_t NoteIndexOf(const std::string& name) {
    for (std::int32_t note = 0; note < kNoteCount; ++note) {
        if (NoteName(note) == name) {
            return note;
        }
    }
    return kNoNote;
}

int PitchClass(std::int32_t noteIndex) {
    return IsNote(noteIndex) ? noteIndex % 12 : -1;
}

bool IsSharpNote(std::int32_t noteIndex) {
    const int pc = PitchClass(noteIndex);
    return pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
}

} // namespace tessmar
