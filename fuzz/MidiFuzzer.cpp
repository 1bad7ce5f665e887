// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer harness: the MIDI melody reader on any bytes (any track asked for, and all at
// once), and the promises the scoring relies on: targets in time order, none empty or
// reaching into the next, every note named.
#include "analysis/NoteNaming.h"
#include "practice/song/MidiFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

void CheckTargets(const tessmar::Song& song) {
    const auto targets = song.Targets(1, 0, 0.0);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (!(targets[i].end > targets[i].start) || tessmar::NoteName(targets[i].note).empty() ||
            (i > 0 && targets[i].start < targets[i - 1].end)) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessmar;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const int track = size > 0 ? 1 + data[size - 1] % 4 : 1;
    const auto song = MidiFile::Parse(bytes, track, error);
    if (!song && error.empty()) {
        std::abort(); // a refusal always says why
    }
    if (song) {
        CheckTargets(*song);
    }
    // Every track from one reading, as the window offers them.
    for (const auto& each : MidiFile::Each(bytes, error)) {
        if (each) {
            CheckTargets(*each);
        }
    }
    return 0;
}
