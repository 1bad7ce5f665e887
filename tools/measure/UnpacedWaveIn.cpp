// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/measure/UnpacedWaveIn.h"

#include <cstring>

namespace tessmar::measure {

MMRESULT UnpacedWaveIn::waveInOpen(HWAVEIN* handle, std::uint32_t, const WaveFormatEx*,
                                   std::uintptr_t callback, std::uintptr_t, std::uint32_t) {
    std::lock_guard lock(mutex_);
    callback_ = callback;
    *handle = 1;
    return MMSYSERR_NOERROR;
}

MMRESULT UnpacedWaveIn::waveInAddBuffer(HWAVEIN, WaveHdr* header, std::uint32_t) {
    std::lock_guard lock(mutex_);
    if (started_ && remaining_ > 0) {
        Deliver(header);
    } else {
        queued_.push_back(header);
        drained_.notify_all();
    }
    return MMSYSERR_NOERROR;
}

MMRESULT UnpacedWaveIn::waveInStart(HWAVEIN) {
    std::lock_guard lock(mutex_);
    started_ = true;
    std::vector<WaveHdr*> queued;
    queued.swap(queued_);
    for (WaveHdr* header : queued) {
        if (remaining_ > 0) {
            Deliver(header);
        } else {
            queued_.push_back(header);
        }
    }
    return MMSYSERR_NOERROR;
}

void UnpacedWaveIn::Deliver(WaveHdr* header) {
    --remaining_;
    const std::uint32_t n = remaining_ == 0 ? lastBytes_ : kBlockBytes;
    std::memset(header->lpData, int(next_++ % 251), n);
    header->dwBytesRecorded = n;
    PostThreadMessage(callback_, MM_WIM_DATA, 0, reinterpret_cast<std::intptr_t>(header));
}

void UnpacedWaveIn::HandBackQueued() {
    std::lock_guard lock(mutex_);
    for (WaveHdr* header : queued_) {
        header->dwBytesRecorded = 0;
        PostThreadMessage(callback_, MM_WIM_DATA, 0, reinterpret_cast<std::intptr_t>(header));
    }
    queued_.clear();
}

MMRESULT UnpacedWaveIn::waveInStop(HWAVEIN) {
    std::lock_guard lock(mutex_);
    started_ = false;
    return MMSYSERR_NOERROR;
}

MMRESULT UnpacedWaveIn::waveInReset(HWAVEIN) {
    HandBackQueued();
    return MMSYSERR_NOERROR;
}

MMRESULT UnpacedWaveIn::waveInClose(HWAVEIN) {
    HandBackQueued();
    return MMSYSERR_NOERROR;
}

bool UnpacedWaveIn::WaitUntilDrained(std::chrono::seconds guard) {
    std::unique_lock lock(mutex_);
    return drained_.wait_for(lock, guard, [&] { return remaining_ == 0 && queued_.size() == 2; });
}

} // namespace tessmar::measure
