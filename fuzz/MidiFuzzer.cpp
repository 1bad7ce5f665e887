// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer harness: the MIDI melody reader on any bytes (any track asked for), and the
// promises the scoring relies on: targets in time order, none empty or reaching into the
// next, every note named.
#include "analysis/NoteNaming.h"
#include "practice/song/MidiFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessmar;
    std::string error;
    const int track = size > 0 ? 1 + data[size - 1] % 4 : 1;
    const auto song = MidiFile::Parse({reinterpret_cast<const char*>(data), size}, track, error);
    if (!song) {
        if (error.empty()) {
            std::abort(); // a refusal always says why
        }
        return 0;
    }
    const auto targets = song->Targets(1, 0, 0.0);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (!(targets[i].end > targets[i].start) || NoteName(targets[i].note).empty() ||
            (i > 0 && targets[i].start < targets[i - 1].end)) {
            std::abort();
        }
    }
    return 0;
}
