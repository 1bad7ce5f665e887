// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/notes/NoteRuns.h"

#include "analysis/NoteNaming.h"

namespace tessmar {

std::vector<NoteRun> NoteRuns(const std::vector<std::int32_t>& notes) {
    std::vector<NoteRun> runs;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (notes[i] == kNoNote) {
            continue;
        }
        if (!runs.empty() && runs.back().note == notes[i] &&
            runs.back().firstBlock + runs.back().blockCount == i) {
            ++runs.back().blockCount;
        } else {
            runs.push_back({i, 1, notes[i]});
        }
    }
    return runs;
}

} // namespace tessmar
