// SPDX-License-Identifier: GPL-3.0-or-later
// The takes kept: the size a take adds to the file, reading 10,000 takes of a five-round
// scale (45 notes and a minute of curve each) back with every note, and what "Verlauf"
// reads of them.
// Build with -DCMAKE_BUILD_TYPE=Release.
#include "practice/history/Progress.h"
#include "practice/history/TakeHistory.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <unistd.h>

namespace {

using tessmar::TakeHistory;

TakeHistory::Take Scale(int n) {
    TakeHistory::Take take;
    take.at = 1796947200 + n * 3600;
    take.kind = "uebung";
    take.name = "tonleiter";
    take.detail = "C-3";
    take.total = 60 + n % 40;
    for (int i = 0; i < 45; ++i) {
        tessmar::NoteScore s;
        s.target = {36 + i % 9, i * 0.75, i * 0.75 + 0.75};
        s.targetHz = 261.63;
        s.meanCents = (i * 7 + n) % 61 - 30.0;
        s.inTunePct = 80.0;
        s.onsetMs = 40.0;
        take.notes.push_back(s);
    }
    // A minute of curve, as the window keeps it: 20 updates a second.
    for (int k = 0; k < 1200; ++k) {
        take.curve.push_back({k * 0.05, 36.0 + (k / 20) % 9 + 0.1 * std::sin(k * 0.3)});
    }
    return take;
}

// Written once for all the runs: 10,000 takes, in a folder gone at the end.
struct Filled {
    std::string dir = "/tmp/tessmar-history-bench-" + std::to_string(getpid());
    std::string path = dir + "/verlauf.sqlite";
    Filled() {
        std::string error;
        auto history = TakeHistory::Open(path, error);
        for (int n = 0; n < 10000 && history; ++n) {
            history->Add(Scale(n), error);
        }
    }
    ~Filled() { std::filesystem::remove_all(dir); }
};

const std::string& FilledPath(benchmark::State& state) {
    static const Filled filled;
    state.counters["bytes_per_take"] = double(std::filesystem::file_size(filled.path)) / 10000.0;
    return filled.path;
}

void ReadTenThousandTakes(benchmark::State& state) {
    const std::string& path = FilledPath(state);
    for (auto _ : state) {
        std::string error;
        const auto history = TakeHistory::Open(path, error);
        const auto rows = history->All(error);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(ReadTenThousandTakes)->Unit(benchmark::kMillisecond);

// What "Verlauf" reads and shapes when it opens.
void ProgressOfTenThousandTakes(benchmark::State& state) {
    const std::string& path = FilledPath(state);
    for (auto _ : state) {
        std::string error;
        const auto history = TakeHistory::Open(path, error);
        const auto progress = tessmar::Progress::From(history->Takes(error), 3600);
        const auto often = history->OftenOff(6, error);
        benchmark::DoNotOptimize(progress.scores.data());
        benchmark::DoNotOptimize(often.data());
    }
}
BENCHMARK(ProgressOfTenThousandTakes)->Unit(benchmark::kMillisecond);

} // namespace
