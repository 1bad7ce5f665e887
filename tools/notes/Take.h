// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace tessmar {

// What tessmar-notes found in a recording, block by block, for drawing it.
struct Take {
    // Detected NoteIndex of every block, -1 for none.
    std::vector<std::int32_t> notes;
    // Sung pitch of every block in Hz, 0 where a block has no clear pitch; empty when the
    // pitch was not measured.
    std::vector<double> pitchHz;
};

} // namespace tessmar
