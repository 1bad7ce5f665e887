// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/WaveIn.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace tessmar::test {

// A recording device the test fills by hand. It records every call, keeps the queued
// blocks in order and posts MM_WIM_DATA for each block it hands back.
class FakeWaveIn : public WaveInApi {
public:
    MMRESULT waveInOpen(HWAVEIN* handle, std::uint32_t deviceId, const WaveFormatEx* format,
                        std::uintptr_t callback, std::uintptr_t instance,
                        std::uint32_t flags) override;
    MMRESULT waveInPrepareHeader(HWAVEIN handle, WaveHdr* header, std::uint32_t size) override;
    MMRESULT waveInAddBuffer(HWAVEIN handle, WaveHdr* header, std::uint32_t size) override;
    MMRESULT waveInStart(HWAVEIN handle) override;
    MMRESULT waveInStop(HWAVEIN handle) override;
    MMRESULT waveInReset(HWAVEIN handle) override;
    MMRESULT waveInClose(HWAVEIN handle) override;

    // Fills the first queued block with n bytes of `value` and hands it back, posting
    // MM_WIM_DATA with the given wParam. False when no block is queued.
    bool Fill(std::uint32_t n, std::uint8_t value, std::uintptr_t wParam = 0);
    // The device goes away, as an unplugged card: posts MM_WIM_LOST.
    void Lose();
    // What the next opens return, for a device that is missing and comes back; safe while
    // another thread opens.
    void SetOpenResult(MMRESULT result);
    // Waits (hang guard: 10 s) until `count` blocks are queued.
    bool WaitForQueued(std::size_t count);

    std::vector<std::string> Calls();
    WaveFormatEx openedFormat{};
    std::uintptr_t callback = 0;
    MMRESULT openResult = MMSYSERR_NOERROR;
    bool throwOnOpen = false; // as a backend out of resources would
    bool throwOnStop = false;
    // Bytes the block being filled holds when waveInStop hands it back.
    std::uint32_t bytesAtStop = 0;

private:
    void HandBack(WaveHdr* header, std::uint32_t n, std::uintptr_t wParam);
    MMRESULT Record(const std::string& call, HWAVEIN handle);

    static constexpr HWAVEIN kHandle = 0x51;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> calls_;
    std::deque<WaveHdr*> queue_;
    bool open_ = false;
    bool started_ = false;
};

} // namespace tessmar::test
