// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace tessmar {

inline constexpr std::int32_t kNoNote = -1;

// "A-3" for NoteIndex 45: pitch-class prefix (H, not B) and octave counted from C-0 at
// 32.70625 Hz. Empty for kNoNote or an index outside 0..127.
std::string NoteName(std::int32_t noteIndex);

// The NoteIndex a name as NoteName gives it stands for ("A-3": 45); kNoNote for any other
// text.
std::int32_t NoteIndexOf(const std::string& name);
// The note's pitch class, 0 (C) .. 11 (H), whatever its octave; -1 for kNoNote or an index
// outside 0..127.
int PitchClass(std::int32_t noteIndex);
// C#, D#, F#, G# or A#: the rows a note grid shades.
bool IsSharpNote(std::int32_t noteIndex);

} // namespace tessmar
