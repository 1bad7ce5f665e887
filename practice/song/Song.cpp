// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/song/Song.h"

#include <algorithm>

namespace tessmar {

std::vector<TargetNote> Song::Targets(int voice, int transpose, double offset,
                                      std::vector<std::string>* words) const {
    std::vector<std::pair<TargetNote, const std::string*>> sung;
    for (const Note& n : notes) {
        if (n.kind == Note::Kind::Freestyle || (voices > 1 && n.voice != voice)) {
            continue;
        }
        const TargetNote::Kind kind = n.kind == Note::Kind::Golden ? TargetNote::Kind::Golden
                                      : n.kind == Note::Kind::Rap  ? TargetNote::Kind::Rap
                                      : n.kind == Note::Kind::GoldenRap
                                          ? TargetNote::Kind::GoldenRap
                                          : TargetNote::Kind::Normal;
        sung.push_back({{n.note + transpose, n.start + offset, n.end + offset, kind}, &n.syllable});
    }
    // The scorer takes one note at a time: in time order, none reaching into the next.
    std::stable_sort(sung.begin(), sung.end(),
                     [](const auto& a, const auto& b) { return a.first.start < b.first.start; });
    for (std::size_t i = 1; i < sung.size(); ++i) {
        sung[i - 1].first.end = std::min(sung[i - 1].first.end, sung[i].first.start);
    }
    std::erase_if(sung, [](const auto& s) { return !(s.first.end > s.first.start); });
    std::vector<TargetNote> targets;
    for (const auto& [target, syllable] : sung) {
        targets.push_back(target);
        if (words) {
            words->push_back(*syllable);
        }
    }
    return targets;
}

} // namespace tessmar
