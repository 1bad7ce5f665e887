// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/capture/PacedCaptureSource.h"

#include "platform/capture/CaptureFormat.h"

#include <algorithm>

namespace tessmar {

using std::chrono::microseconds;

// Whole frames due after the given time (microseconds keep this exact for years).
std::uint64_t PacedCaptureSource::FramesIn(Clock::duration elapsed) const {
    const auto us = std::chrono::duration_cast<microseconds>(elapsed).count();
    return us <= 0 ? 0 : std::uint64_t(us) * std::uint64_t(timing_.rate) / 1'000'000;
}

// The time by which the given number of frames is due.
microseconds PacedCaptureSource::TimeOf(std::uint64_t frames) const {
    const auto rate = std::uint64_t(timing_.rate);
    return microseconds((frames * 1'000'000 + rate - 1) / rate);
}

// Where the chunk after `delivered` frames ends.
std::uint64_t PacedCaptureSource::NextChunkEnd(std::uint64_t delivered) const {
    constexpr std::uint64_t first = kFirstChunkFrames;
    const std::uint64_t chunk = timing_.periodFrames;
    return delivered < first ? first : first + ((delivered - first) / chunk + 1) * chunk;
}

void PacedCaptureSource::Start() {
    start_ = Clock::now();
    delivered_ = 0;
}

std::size_t PacedCaptureSource::Read(std::int16_t* frames, std::size_t maxFrames,
                                     std::stop_token stop) {
    while (!stop.stop_requested()) {
        const Clock::time_point now = Clock::now();
        const std::uint64_t due = FramesIn(now - start_);
        std::uint64_t ready = due > delivered_ ? due - delivered_ : 0;
        if (ready > kBufferFrames) {
            // The reader was away too long: the input pauses instead of bursting.
            ++overruns_;
            dropped_ += ready - kBufferFrames;
            start_ = now - TimeOf(delivered_ + kBufferFrames);
            ready = kBufferFrames;
        }
        const std::uint64_t chunkEnd = NextChunkEnd(delivered_);
        if (delivered_ + ready >= chunkEnd) {
            const std::size_t count = std::min<std::uint64_t>(ready, maxFrames);
            render_(frames, count);
            delivered_ += count;
            return count;
        }
        const Clock::time_point next = start_ + TimeOf(chunkEnd);
        std::unique_lock lock(waitMutex_);
        wake_.wait_until(lock, stop, next, [] { return false; });
    }
    return 0;
}

} // namespace tessmar
