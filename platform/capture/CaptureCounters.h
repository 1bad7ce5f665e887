// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>

namespace tessmar {

// Input lost while recording, added up over all devices of one WaveIn implementation.
struct CaptureCounters {
    // Frames that arrived while no block was queued, and input a paced source skipped.
    std::atomic<std::uint64_t> lostFrames{0};
    // Times the input itself overflowed because the device thread read it too late.
    std::atomic<std::uint64_t> sourceOverruns{0};
    // Device threads that a close left behind because their input did not return, and
    // that have not ended yet.
    std::atomic<int> strandedThreads{0};
};

} // namespace tessmar
