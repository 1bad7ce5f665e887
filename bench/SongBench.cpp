// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a song: a four-minute UltraStar text (about 960 notes with their syllables and
// phrase ends, as a fast pop song has them), read and turned into targets.
// Build with -DCMAKE_BUILD_TYPE=Release.
#include "practice/song/UltraStarFile.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

std::string FourMinuteSong() {
    std::string text = "#TITLE:Vier Minuten\n#ARTIST:Tessmar\n#MP3:lied.ogg\n#BPM:300\n"
                       "#GAP:8000\n";
    // A beat lasts 0.05 s: 4800 beats are four minutes.
    for (int beat = 0, n = 0; beat < 4800; beat += 5, ++n) {
        text += (n % 17 == 0 ? "* " : ": ") + std::to_string(beat) + " 4 " +
                std::to_string(n % 12 - 3) + (n % 3 == 0 ? " Wör" : " ter ") + "\n";
        if (n % 8 == 7) {
            text += "- " + std::to_string(beat + 4) + "\n";
        }
    }
    return text + "E\n";
}

void LoadFourMinuteSong(benchmark::State& state) {
    const std::string text = FourMinuteSong();
    for (auto _ : state) {
        std::string error;
        const auto song = tessmar::UltraStarFile::Parse(text, "lieder", error);
        auto targets = song->Targets(1, 0, 0.0);
        benchmark::DoNotOptimize(targets.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(LoadFourMinuteSong)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
