// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeWaveIn.h"

#include <chrono>
#include <cstring>
#include <stdexcept>

namespace tessmar::test {

MMRESULT FakeWaveIn::Record(const std::string& call, HWAVEIN handle) {
    calls_.push_back(call);
    return open_ && handle == kHandle ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

MMRESULT FakeWaveIn::waveInOpen(HWAVEIN* handle, std::uint32_t deviceId, const WaveFormatEx* format,
                                std::uintptr_t cb, std::uintptr_t, std::uint32_t flags) {
    std::lock_guard lock(mutex_);
    calls_.push_back("open " + std::to_string(deviceId) + " " + std::to_string(flags) +
                     (*handle == 0 ? " handle=0" : " handle set"));
    openedFormat = *format;
    callback = cb;
    if (throwOnOpen) {
        throw std::runtime_error("Das Aufnahmegerät hat keine Mittel mehr");
    }
    if (openResult != MMSYSERR_NOERROR) {
        return openResult;
    }
    *handle = kHandle;
    open_ = true;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeWaveIn::waveInPrepareHeader(HWAVEIN handle, WaveHdr* header, std::uint32_t size) {
    std::lock_guard lock(mutex_);
    const MMRESULT r = Record(
        "prepare " + std::to_string(header->dwBufferLength) + " " + std::to_string(size), handle);
    header->dwFlags |= WHDR_PREPARED;
    return r;
}

MMRESULT FakeWaveIn::waveInAddBuffer(HWAVEIN handle, WaveHdr* header, std::uint32_t size) {
    std::lock_guard lock(mutex_);
    const MMRESULT r = Record("add " + std::to_string(size), handle);
    if (r == MMSYSERR_NOERROR) {
        header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
        header->dwBytesRecorded = 0;
        queue_.push_back(header);
        changed_.notify_all();
    }
    return r;
}

MMRESULT FakeWaveIn::waveInStart(HWAVEIN handle) {
    std::lock_guard lock(mutex_);
    started_ = true;
    return Record("start", handle);
}

MMRESULT FakeWaveIn::waveInStop(HWAVEIN handle) {
    if (throwOnStop) {
        throw std::runtime_error("Das Aufnahmegerät lässt sich nicht anhalten");
    }
    std::lock_guard lock(mutex_);
    const MMRESULT r = Record("stop", handle);
    if (r == MMSYSERR_NOERROR && started_ && !queue_.empty()) {
        WaveHdr* header = queue_.front();
        queue_.pop_front();
        std::memset(header->lpData, 0x77, bytesAtStop);
        HandBack(header, bytesAtStop, 0);
    }
    started_ = false;
    return r;
}

MMRESULT FakeWaveIn::waveInReset(HWAVEIN handle) {
    std::lock_guard lock(mutex_);
    const MMRESULT r = Record("reset", handle);
    while (r == MMSYSERR_NOERROR && !queue_.empty()) {
        HandBack(queue_.front(), 0, 0);
        queue_.pop_front();
    }
    return r;
}

MMRESULT FakeWaveIn::waveInClose(HWAVEIN handle) {
    std::lock_guard lock(mutex_);
    const MMRESULT r = Record("close", handle);
    if (r == MMSYSERR_NOERROR) {
        while (!queue_.empty()) {
            HandBack(queue_.front(), 0, 0);
            queue_.pop_front();
        }
        PostThreadMessage(callback, MM_WIM_CLOSE, kHandle, 0);
        open_ = false;
    }
    return r;
}

void FakeWaveIn::HandBack(WaveHdr* header, std::uint32_t n, std::uintptr_t wParam) {
    header->dwBytesRecorded = n;
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    PostThreadMessage(callback, MM_WIM_DATA, wParam, reinterpret_cast<std::intptr_t>(header));
}

bool FakeWaveIn::Fill(std::uint32_t n, std::uint8_t value, std::uintptr_t wParam) {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) {
        return false;
    }
    WaveHdr* header = queue_.front();
    queue_.pop_front();
    std::memset(header->lpData, value, n);
    HandBack(header, n, wParam);
    return true;
}

void FakeWaveIn::Lose() {
    std::lock_guard lock(mutex_);
    PostThreadMessage(callback, MM_WIM_LOST, kHandle, 0);
}

void FakeWaveIn::SetOpenResult(MMRESULT result) {
    std::lock_guard lock(mutex_);
    openResult = result;
}

bool FakeWaveIn::WaitForQueued(std::size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10),
                             [&] { return queue_.size() >= count; });
}

std::vector<std::string> FakeWaveIn::Calls() {
    std::lock_guard lock(mutex_);
    return calls_;
}

} // namespace tessmar::test
