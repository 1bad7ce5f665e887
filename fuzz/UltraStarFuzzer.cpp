// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer harness: the karaoke song reader on any bytes, and the promises the scoring
// relies on: targets in time order, none empty or reaching into the next, every note
// named.
#include "analysis/NoteNaming.h"
#include "practice/song/UltraStarFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessmar;
    std::string error;
    const auto song =
        UltraStarFile::Parse({reinterpret_cast<const char*>(data), size}, "lieder", error);
    if (!song) {
        if (error.empty()) {
            std::abort(); // a refusal always says why
        }
        return 0;
    }
    for (int voice = 1; voice <= song->voices; ++voice) {
        const auto targets = song->Targets(voice, 0, 0.0);
        for (std::size_t i = 0; i < targets.size(); ++i) {
            if (!(targets[i].end > targets[i].start) || NoteName(targets[i].note).empty() ||
                (i > 0 && targets[i].start < targets[i - 1].end)) {
                std::abort();
            }
        }
    }
    for (const std::string* path : {&song->audio, &song->instrumental, &song->vocals}) {
        // Nothing outside the song's folder: no "..", though a name may hold two dots.
        const std::string steps = "/" + *path + "/";
        if (!path->empty() &&
            (path->rfind("lieder/", 0) != 0 || steps.find("/../") != steps.npos)) {
            std::abort();
        }
    }
    return 0;
}
