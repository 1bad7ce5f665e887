// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessmar {

// Consecutive blocks with the same detected note: one bar of the note chart.
struct NoteRun {
    std::size_t firstBlock;
    std::size_t blockCount;
    std::int32_t note;

    bool operator==(const NoteRun&) const = default;
};

// The runs of equal notes in block order; blocks without a note (-1) belong to none.
std::vector<NoteRun> NoteRuns(const std::vector<std::int32_t>& notes);

} // namespace tessmar
