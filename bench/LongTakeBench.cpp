// SPDX-License-Identifier: GPL-3.0-or-later
// A one-hour take (158,760,000 bytes) through the capture engine from a device without a
// clock: the peak memory it needs against the audio it holds, and the time from
// "Abbrechen" (the engine's stop) until the file is on disk.
#include "audio/CaptureEngine.h"
#include "tools/measure/IdleEventPump.h"
#include "tools/measure/QuietCaptureView.h"
#include "tools/measure/UnpacedWaveIn.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using namespace tessmar;

constexpr std::uint64_t kHourBytes = 3600ull * kBytesPerSecond; // 158,760,000
static_assert(kHourBytes == 158760000);

// A line of /proc/self/status in bytes, such as "VmHWM:" (the peak resident size).
std::uint64_t StatusBytes(const std::string& key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) == 0) {
            return std::stoull(line.substr(key.size())) * 1024;
        }
    }
    return 0;
}

// Resets the peak resident size to the present one.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_OneHourTake(benchmark::State& state) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string file = std::string(tmp && *tmp ? tmp : "/tmp") + "/tessmar-bench-take-" +
                             std::to_string(::getpid()) + ".wav";
    double worstRatio = 0;
    double worstStop = 0;
    for (auto _ : state) {
        measure::UnpacedWaveIn device(kHourBytes / kBlockBytes + 1, kHourBytes % kBlockBytes);
        measure::QuietCaptureView view(file);
        measure::IdleEventPump events;
        CaptureEngine engine(device, view, events);
        const std::uint64_t before = StatusBytes("VmRSS:");
        ResetPeak();
        engine.Start();
        if (!device.WaitUntilDrained(std::chrono::seconds(600))) {
            state.SkipWithError("the take did not finish");
            break;
        }
        const auto stop = std::chrono::steady_clock::now();
        engine.Stop(); // writes and flushes the file, then releases the recording
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - stop;
        state.SetIterationTime(took.count());
        const double ratio = double(StatusBytes("VmHWM:") - before) / double(kHourBytes);
        worstRatio = std::max(worstRatio, ratio);
        worstStop = std::max(worstStop, took.count());
    }
    ::unlink(file.c_str());
    state.counters["peak_memory_per_audio_byte"] = worstRatio;
    state.counters["worst_stop_to_file_s"] = worstStop;
}
BENCHMARK(BM_OneHourTake)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
