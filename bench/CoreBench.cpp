// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the per-block analysis and of saving a long recording, measured against
// FFTW's 1024-point complex FFT as the reference. Build with -DCMAKE_BUILD_TYPE=Release.
#include "analysis/FFT.h"
#include "analysis/SemitoneDetector.h"
#include "audio/WaveFileWriter.h"
#include "platform/capture/CaptureFormat.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <fftw3.h>
#include <numbers>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace tessmar;

std::vector<double> TestSignal(int n) {
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i) {
        x[i] = 9000 * std::sin(2 * std::numbers::pi * 440 * i / 11025) + (i * 7919 % 601) - 300;
    }
    return x;
}

void BM_FftwReference(benchmark::State& state) {
    auto* in = fftw_alloc_complex(1024);
    auto* out = fftw_alloc_complex(1024);
    fftw_plan plan = fftw_plan_dft_1d(1024, in, out, FFTW_FORWARD, FFTW_MEASURE);
    const auto x = TestSignal(1024);
    for (int i = 0; i < 1024; ++i) {
        in[i][0] = x[i];
        in[i][1] = 0;
    }
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}
BENCHMARK(BM_FftwReference);

void BM_FFT(benchmark::State& state) {
    const auto x = TestSignal(1024);
    std::vector<double> re(1024), im(1024);
    for (auto _ : state) {
        // Refilling keeps the values in range; it is a small part of the time.
        std::copy(x.begin(), x.end(), re.begin());
        std::fill(im.begin(), im.end(), 0.0);
        FFT(1, 10, re.data(), im.data());
        benchmark::DoNotOptimize(re.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FFT);

void BM_DetectNote(benchmark::State& state) {
    const auto x = TestSignal(kBlockFrames);
    std::vector<std::uint8_t> block(kBlockBytes);
    for (int k = 0; k < kBlockFrames; ++k) {
        const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(x[k]));
        block[4 * k] = static_cast<std::uint8_t>(v);
        block[4 * k + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(DetectNote(block.data()));
    }
}
BENCHMARK(BM_DetectNote);

// One hour of the capture format, the largest recording a user is likely to make.
void BM_WriteWaveFileOneHour(benchmark::State& state) {
    const std::int32_t bytes = 3600 * kBytesPerSecond;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(bytes), 0x11);
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/tessmar-bench-" +
                             std::to_string(::getpid()) + ".wav";
    for (auto _ : state) {
        if (!WriteWaveFile(path, data.data(), bytes, kSampleRate, true, true)) {
            state.SkipWithError("WriteWaveFile failed");
            break;
        }
    }
    ::unlink(path.c_str());
    state.SetBytesProcessed(state.iterations() * int64_t(bytes));
}
BENCHMARK(BM_WriteWaveFileOneHour)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
