// SPDX-License-Identifier: GPL-3.0-or-later
// The takes kept: the size a take adds to the file, reading 10,000 takes of a five-round
// scale (45 notes and a minute of curve each) back with every note, and what "Verlauf"
// reads of them; and the size a four-minute song of 300 notes adds.
// Build with -DCMAKE_BUILD_TYPE=Release.
#include "practice/history/Progress.h"
#include "practice/history/TakeHistory.h"
#include "tools/pitch/ProgressWindow.h"

#include <QApplication>
#include <QPixmap>
#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <unistd.h>

namespace {

using tessmar::TakeHistory;

// The n-th take, an hour after the one before.
TakeHistory::Take Kept(int n, const char* kind, const char* name, const char* detail, int total) {
    TakeHistory::Take take;
    take.at = 1796947200 + n * 3600;
    take.kind = kind;
    take.name = name;
    take.detail = detail;
    take.total = total;
    return take;
}

TakeHistory::Take Scale(int n) {
    TakeHistory::Take take = Kept(n, "uebung", "tonleiter", "C-3", 60 + n % 40);
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
    std::string path = dir + "/tessmar/verlauf.sqlite"; // where XDG_DATA_HOME=dir has it
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

// "Verlauf" opened as the window opens it: read, listed, the newest take's notes in the
// table, and everything painted once (offscreen, unless QT_QPA_PLATFORM says otherwise).
void OpenVerlaufWithTenThousandTakes(benchmark::State& state) {
    const std::string& path = FilledPath(state);
    setenv("XDG_DATA_HOME", std::filesystem::path(path).parent_path().parent_path().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "tessmar-song-bench";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    for (auto _ : state) {
        tessmar::ProgressWindow window;
        window.Refresh();
        const QPixmap painted = window.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
}
BENCHMARK(OpenVerlaufWithTenThousandTakes)->Unit(benchmark::kMillisecond);

// A four-minute song sung along: 300 notes, a curve of 20 updates a second with vibrato,
// and rests between phrases where nothing is heard.
TakeHistory::Take FourMinuteSong(int n) {
    TakeHistory::Take take = Kept(n, "lied", "Vier Minuten", "Tessmar", 70 + n % 30);
    take.start = 1234.567;
    for (int i = 0; i < 300; ++i) {
        tessmar::NoteScore s;
        const double at = take.start + 8.0 + i * 0.76;
        s.target = {30 + (i * 5) % 14, at, at + 0.61};
        s.targetHz = 440.0 * std::pow(2.0, (s.target.note - 45) / 12.0);
        s.meanCents = (i * 37 + n) % 613 / 10.0 - 30.0;
        s.inTunePct = (i * 13) % 1000 / 10.0;
        s.onsetMs = 40.0 + (i * 7) % 200;
        take.notes.push_back(s);
    }
    for (int k = 0; k < 4800; ++k) {
        const double pitch = 30.0 + (k / 15) % 14 + 0.3 * std::sin(k * 1.6) + 0.01 * (k % 7);
        take.curve.push_back({take.start + k * 0.05, k % 60 < 18 ? std::nan("") : pitch});
    }
    return take;
}

void BytesOfASongTake(benchmark::State& state) {
    const std::string dir = "/tmp/tessmar-song-size-bench-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    std::string error;
    auto history = TakeHistory::Open(dir + "/verlauf.sqlite", error);
    for (auto _ : state) {
        for (int n = 0; n < 100; ++n) {
            history->Add(FourMinuteSong(n), error);
        }
    }
    history.reset(); // the write-ahead log folded into the file
    state.counters["bytes_per_take"] =
        double(std::filesystem::file_size(dir + "/verlauf.sqlite")) / (100.0 * state.iterations());
    std::filesystem::remove_all(dir);
}
BENCHMARK(BytesOfASongTake)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
