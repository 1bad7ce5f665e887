// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/CaptureFormat.h"
#include "platform/capture/WaveIn.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace tessmar::measure {

// A recording device without a clock: it fills a block the moment it is queued, so the
// capture thread gets the next block as soon as it gives one back and hours of input pass
// in seconds. Block k is filled with the byte k % 251, the last block with lastBytes bytes.
class UnpacedWaveIn : public WaveInApi {
public:
    explicit UnpacedWaveIn(std::uint64_t blocks, std::uint32_t lastBytes = kBlockBytes)
        : remaining_(blocks), lastBytes_(lastBytes) {}

    MMRESULT waveInOpen(HWAVEIN* handle, std::uint32_t, const WaveFormatEx*,
                        std::uintptr_t callback, std::uintptr_t, std::uint32_t) override;
    MMRESULT waveInPrepareHeader(HWAVEIN, WaveHdr*, std::uint32_t) override {
        return MMSYSERR_NOERROR;
    }
    MMRESULT waveInAddBuffer(HWAVEIN, WaveHdr* header, std::uint32_t) override;
    MMRESULT waveInStart(HWAVEIN) override;
    MMRESULT waveInStop(HWAVEIN) override;
    MMRESULT waveInReset(HWAVEIN) override;
    MMRESULT waveInClose(HWAVEIN) override;

    // Waits (hang guard) until every block was delivered and both are back with the device,
    // so the capture thread has handled the last one.
    bool WaitUntilDrained(std::chrono::seconds guard);

private:
    void Deliver(WaveHdr* header); // with the mutex held
    void HandBackQueued();

    std::mutex mutex_;
    std::condition_variable drained_;
    std::uintptr_t callback_ = 0;
    std::uint64_t remaining_;
    std::uint64_t next_ = 0;
    const std::uint32_t lastBytes_;
    bool started_ = false;
    std::vector<WaveHdr*> queued_;
};

} // namespace tessmar::measure
