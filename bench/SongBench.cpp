// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a song: a four-minute UltraStar text (about 960 notes with their syllables and
// phrase ends, as a fast pop song has them) and a MIDI melody of 500 notes, each read and
// turned into targets.
// Build with -DCMAKE_BUILD_TYPE=Release.
#include "practice/song/MidiFile.h"
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

// A melody of 500 notes with a chord under every fourth and a tempo change every eighth.
std::string FiveHundredNoteMidi() {
    std::string track;
    const auto event = [&](std::initializer_list<int> bytes) {
        for (const int b : bytes) {
            track += char(b);
        }
    };
    for (int n = 0; n < 500; ++n) {
        const int key = 60 + n % 12;
        if (n % 8 == 0) {
            event({0, 0xff, 0x51, 3, 0x07, 0xa1, 0x20 + n % 5});
        }
        event({0, 0x90, key, 80});
        if (n % 4 == 0) {
            event({0, 0x90, key - 12, 80});
        }
        event({0x83, 0x60, 0x80, key, 0});
        if (n % 4 == 0) {
            event({0, 0x80, key - 12, 0});
        }
    }
    event({0, 0xff, 0x2f, 0});
    const auto size = [](std::size_t n) {
        return std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    };
    return "MThd" + size(6) + std::string("\x00\x00\x00\x01\x01\xe0", 6) + "MTrk" +
           size(track.size()) + track;
}

void LoadFiveHundredNoteMidi(benchmark::State& state) {
    const std::string bytes = FiveHundredNoteMidi();
    for (auto _ : state) {
        std::string error;
        const auto song = tessmar::MidiFile::Parse(bytes, 1, error);
        auto targets = song->Targets(1, 0, 0.0);
        benchmark::DoNotOptimize(targets.data());
    }
}
BENCHMARK(LoadFiveHundredNoteMidi)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
