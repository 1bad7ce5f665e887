// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/ReferencePlayer.h"

#include "platform/playback/PcmOutput.h"
#include "platform/system/ProgramName.h"
#include "platform/threads/SlowCall.h"
#include "platform/threads/SteadyNanos.h"
#include "practice/ReferenceTone.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <thread>

namespace tessmar {

ReferencePlayer::ReferencePlayer(double concertA) : concertA_(concertA) {
    const char* name = std::getenv("TESSMAR_OUTPUT");
    output_ = name && *name ? name : "default";
}

ReferencePlayer::~ReferencePlayer() = default; // the jthread stops and joins

void ReferencePlayer::Play(std::int32_t note) {
    PlayFrames(ReferenceTone::Render(note, kRate, concertA_));
}

void ReferencePlayer::PlayFrames(std::vector<std::int16_t> frames,
                                 std::function<void(std::int64_t)> started) {
    const std::size_t count = frames.size() / 2;
    PlayMade(
        count,
        [frames = std::move(frames)](std::size_t from, std::int16_t* out, std::size_t n) {
            std::copy_n(frames.begin() + std::ptrdiff_t(2 * from), 2 * n, out);
        },
        std::move(started));
}

void ReferencePlayer::PlayMono(std::vector<std::int16_t> frames, int rate,
                               std::function<void(std::int64_t)> started) {
    if (frames.empty()) {
        return;
    }
    // To the output's rate as it plays: linear steps are enough for a voice to be known.
    const double ratio = double(rate) / kRate;
    auto take = std::make_shared<const std::vector<std::int16_t>>(std::move(frames));
    PlayMade(
        std::size_t(double(take->size()) / ratio),
        [take, ratio](std::size_t from, std::int16_t* out, std::size_t count) {
            const std::vector<std::int16_t>& t = *take;
            for (std::size_t k = 0; k < count; ++k) {
                const double at = double(from + k) * ratio;
                const auto i = std::min(std::size_t(at), t.size() - 1);
                const double next = i + 1 < t.size() ? t[i + 1] : t[i];
                out[2 * k] = out[2 * k + 1] =
                    std::int16_t(std::lround(t[i] + (at - double(i)) * (next - t[i])));
            }
        },
        std::move(started));
}

void ReferencePlayer::PlayMade(std::size_t frames, Source source,
                               std::function<void(std::int64_t)> started) {
    thread_ = {}; // the sound playing stops first: one stream at a time
    thread_ = std::jthread([this, frames, source = std::move(source), started = std::move(started)](
                               std::stop_token stop) { Run(stop, frames, source, started); });
}

void ReferencePlayer::Run(std::stop_token stop, const std::size_t frames, const Source& source,
                          const std::function<void(std::int64_t)>& started) {
    using namespace std::chrono_literals;
    // A stopped sound server can keep the open waiting for half a minute: the next tone, or
    // the program's end, leaves it behind rather than waiting for it.
    auto opened = RunAside<std::shared_ptr<PcmOutput>>(
        [name = output_] {
            mci::Error error = mci::MMSYSERR_NOERROR;
            return std::shared_ptr<PcmOutput>(
                PcmOutput::Open(name, 2, kRate, error, kLatencyMicroseconds));
        },
        [&stop](std::chrono::milliseconds) {
            std::this_thread::sleep_for(20ms);
            return !stop.stop_requested();
        });
    if (!opened) {
        return;
    }
    const std::shared_ptr<PcmOutput> output = *opened;
    if (!output) {
        std::cerr << ProgramName() << ": Das Wiedergabegerät „" << output_
                  << "“ lässt sich nicht öffnen.\n";
        return;
    }
    std::size_t done = 0;
    // When the first frame is heard: the device counts what it has played of what it was
    // handed, and the median of a few such counts is surer than the moment of the first write.
    std::vector<std::int64_t> heardFrom;
    const auto place = [&] {
        if (!started || heardFrom.size() >= kPlacings) {
            return;
        }
        const long played = long(done) - output->Delay();
        if (played <= 0 || played >= long(done)) {
            return; // not yet started, or no count: the first write's moment stands
        }
        heardFrom.push_back(SteadyNanos() - std::int64_t(double(played) * 1e9 / kRate));
        std::vector<std::int64_t> sorted = heardFrom;
        std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
        started(sorted[sorted.size() / 2]);
    };
    if (started) {
        started(SteadyNanos());
    }
    // A quarter of a second made at a time, written as the device takes it.
    std::vector<std::int16_t> chunk(2 * std::size_t(kRate / 4));
    std::size_t made = 0; // frames [done, made) wait in chunk, from its start
    std::size_t chunkStart = 0;
    while (done < frames && !stop.stop_requested()) {
        if (done == made) {
            chunkStart = done;
            made = std::min(frames, done + chunk.size() / 2);
            std::fill(chunk.begin(), chunk.end(), std::int16_t{0});
            source(chunkStart, chunk.data(), made - chunkStart);
        }
        const long n = output->Write(chunk.data() + 2 * (done - chunkStart), made - done);
        if (n < 0) {
            return;
        }
        done += std::size_t(n);
        if (n == 0) {
            output->Wait(50ms);
        }
        place();
    }
    output->StartDrain();
    while (!stop.stop_requested() && output->Draining()) {
        output->Wait(50ms);
        place();
    }
}

} // namespace tessmar
