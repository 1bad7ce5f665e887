// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of tessmar-notes on long takes: the note log with the sung pitch and the chart,
// as `tessmar-notes --pitch --chart take.png take.wav > /dev/null` runs it. The argument
// is the length of the take in seconds. Build with -DCMAKE_BUILD_TYPE=Release.
#include "audio/DemoSinger.h"
#include "platform/capture/CaptureFormat.h"
#include "tools/notes/NoteLog.h"
#include "tools/notes/QtNoteChart.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fstream>
#include <sndfile.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace tessmar;

std::string TempPath(const std::string& name) {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/tessmar-bench-" +
           std::to_string(::getpid()) + "-" + name;
}

// The built-in singer for `seconds`, written in the capture format.
bool WriteTake(const std::string& path, long seconds) {
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = kChannels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        return false;
    }
    DemoSinger singer;
    std::vector<std::int16_t> chunk(std::size_t(kSampleRate) * kChannels);
    bool ok = true;
    for (long s = 0; s < seconds && ok; ++s) {
        singer.Render(chunk.data(), kSampleRate);
        ok = sf_write_short(file, chunk.data(), sf_count_t(chunk.size())) ==
             sf_count_t(chunk.size());
    }
    return sf_close(file) == 0 && ok;
}

void BM_NotesPitchChart(benchmark::State& state) {
    const std::string take = TempPath("take.wav");
    const std::string chartPath = TempPath("chart.png");
    if (!WriteTake(take, long(state.range(0)))) {
        state.SkipWithError("the take could not be written");
        return;
    }
    QtNoteChart chart;
    for (auto _ : state) {
        std::ofstream out("/dev/null");
        std::ostringstream err;
        const int status = RunNoteLog({"--pitch", "--chart", chartPath, take}, out, err, &chart);
        if (status != 0) {
            state.SkipWithError(err.str().c_str());
            break;
        }
    }
    ::unlink(take.c_str());
    ::unlink(chartPath.c_str());
}
BENCHMARK(BM_NotesPitchChart)
    ->Arg(60)
    ->Arg(3600)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
