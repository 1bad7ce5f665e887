#pragma once

#include <atomic>
#include <cstdint>

namespace tessmar {

// Input lost while recording, added up over all devices of one WaveIn implementation.
struct CaptureCounters {
    // Frames that arrived while no block was queued.
    std::atomic<std::uint64_t> lostFrames{0};
    // Times the input itself overflowed because the device thread read it too late.
    std::atomic<std::uint64_t> sourceOverruns{0};
};

} // namespace tessmar
