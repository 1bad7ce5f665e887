// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/CaptureFormat.h"
#include "platform/capture/CaptureSource.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace tessmar {

// Input made by a function (the built-in singer, a decoded file), delivered at the pace of
// the device's frame rate as a sound card would: by the clock, in small chunks, sleeping
// until each is due.
class PacedCaptureSource : public CaptureSource {
public:
    // Appends the next frameCount interleaved stereo frames of the input.
    using Render = std::function<void(std::int16_t* frames, std::size_t frameCount)>;

    // A block's worth at a time, so that the clock wakes the input once a block, but out
    // of step with the blocks by a first, shorter chunk: each chunk completes a block a
    // few milliseconds late and leaves the next partly filled, as a sound server's
    // fragments would, so that stop finds a block partly filled.
    static constexpr std::size_t kFirstChunkFrames = 64;
    // Input that is due but not read keeps this long (about 0.74 s, like the ALSA buffer);
    // beyond it the source counts an overrun and resumes from now.
    static constexpr std::size_t kBufferFrames = 8 * 1024;

    // A chunk is timing.periodFrames, by default the main window's block.
    explicit PacedCaptureSource(Render render, CaptureTiming timing = {})
        : render_(std::move(render)), timing_(timing) {}

    void Start() override;
    void Stop() override {}
    std::size_t Read(std::int16_t* frames, std::size_t maxFrames, std::stop_token stop) override;
    std::uint64_t Overruns() const override { return overruns_; }
    std::uint64_t DroppedFrames() const override { return dropped_; }

private:
    using Clock = std::chrono::steady_clock;

    std::uint64_t FramesIn(Clock::duration elapsed) const;
    std::chrono::microseconds TimeOf(std::uint64_t frames) const;
    std::uint64_t NextChunkEnd(std::uint64_t delivered) const;

    Render render_;
    const CaptureTiming timing_;
    Clock::time_point start_{};
    std::uint64_t delivered_ = 0; // frames since start_
    std::uint64_t overruns_ = 0;
    std::uint64_t dropped_ = 0; // the input skipped over by those overruns
    std::mutex waitMutex_;      // for the stoppable sleep only
    std::condition_variable_any wake_;
};

} // namespace tessmar
