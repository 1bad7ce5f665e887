// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/song/Song.h"

#include <algorithm>

namespace tessmar {

std::vector<TargetNote> Song::Targets(int voice, int transpose, double offset) const {
    std::vector<TargetNote> targets;
    for (const Note& n : notes) {
        if (n.kind == Note::Kind::Freestyle || (voices > 1 && n.voice != voice)) {
            continue;
        }
        const TargetNote::Kind kind = n.kind == Note::Kind::Golden ? TargetNote::Kind::Golden
                                      : n.kind == Note::Kind::Rap || n.kind == Note::Kind::GoldenRap
                                          ? TargetNote::Kind::Rap
                                          : TargetNote::Kind::Normal;
        targets.push_back({n.note + transpose, n.start + offset, n.end + offset, kind});
    }
    // The scorer takes one note at a time: in time order, none reaching into the next.
    std::stable_sort(targets.begin(), targets.end(),
                     [](const TargetNote& a, const TargetNote& b) { return a.start < b.start; });
    for (std::size_t i = 1; i < targets.size(); ++i) {
        targets[i - 1].end = std::min(targets[i - 1].end, targets[i].start);
    }
    std::erase_if(targets, [](const TargetNote& t) { return !(t.end > t.start); });
    return targets;
}

} // namespace tessmar
