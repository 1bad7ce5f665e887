#include "platform/CaptureDevice.h"

#include "audio/CaptureFormat.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tessmar {
namespace {

constexpr std::size_t kReadFrames = 1024; // at most one period at a time

} // namespace

CaptureDevice::CaptureDevice(HWAVEIN handle, ThreadId callback,
                             std::unique_ptr<CaptureSource> source, CaptureCounters& counters)
    : handle_(handle), callback_(callback), source_(std::move(source)), counters_(counters),
      thread_([this](std::stop_token stop) { Run(stop); }) {
    PostThreadMessage(callback_, MM_WIM_OPEN, handle_, 0);
}

CaptureDevice::~CaptureDevice() {
    Close();
}

MMRESULT CaptureDevice::AddBuffer(WaveHdr* header) {
    std::lock_guard lock(mutex_);
    if (closed_) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!(header->dwFlags & WHDR_PREPARED)) {
        return WAVERR_UNPREPARED;
    }
    if ((header->dwFlags & WHDR_INQUEUE) || !header->lpData ||
        header->dwBufferLength < kFrameBytes) {
        return MMSYSERR_INVALPARAM;
    }
    header->dwBytesRecorded = 0;
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    queue_.push_back(header);
    FillBlocks();
    return MMSYSERR_NOERROR;
}

MMRESULT CaptureDevice::Start() {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return MMSYSERR_INVALHANDLE;
        }
        if (activeStart_ == 0) {
            activeStart_ = ++starts_;
        }
    }
    changed_.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT CaptureDevice::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return MMSYSERR_INVALHANDLE;
        }
        activeStart_ = 0;
        held_.clear();
        if (!queue_.empty() && queue_.front()->dwBytesRecorded > 0) {
            HandBackFront();
        }
    }
    changed_.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT CaptureDevice::Reset() {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return MMSYSERR_INVALHANDLE;
        }
        activeStart_ = 0;
        held_.clear();
        while (!queue_.empty()) {
            HandBackFront();
        }
    }
    changed_.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT CaptureDevice::Close() {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return MMSYSERR_INVALHANDLE;
        }
        closed_ = true;
        activeStart_ = 0;
        held_.clear();
        while (!queue_.empty()) {
            HandBackFront();
        }
    }
    thread_.request_stop();
    thread_.join();
    source_.reset();
    PostThreadMessage(callback_, MM_WIM_CLOSE, handle_, 0);
    return MMSYSERR_NOERROR;
}

void CaptureDevice::Run(std::stop_token stop) {
    std::vector<std::int16_t> chunk(kReadFrames * kChannels);
    std::uint64_t running = 0; // the start the source was started for; 0 while stopped
    std::uint64_t overruns = source_->Overruns();
    while (!stop.stop_requested()) {
        std::uint64_t wanted = 0;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, stop, [&] { return activeStart_ != 0 || running != 0; });
            wanted = activeStart_;
        }
        if (stop.stop_requested()) {
            break;
        }
        if (wanted != running) {
            // A new start begins afresh; nothing read for an earlier one is delivered.
            wanted != 0 ? source_->Start() : source_->Stop();
            running = wanted;
            continue;
        }
        const std::size_t count = source_->Read(chunk.data(), kReadFrames, stop);
        const std::uint64_t nowOverruns = source_->Overruns();
        counters_.sourceOverruns += nowOverruns - overruns;
        overruns = nowOverruns;
        std::lock_guard lock(mutex_);
        if (activeStart_ == running) {
            Deliver(chunk.data(), count);
        }
    }
    if (running != 0) {
        source_->Stop();
    }
}

void CaptureDevice::Deliver(const std::int16_t* frames, std::size_t count) {
    held_.insert(held_.end(), frames, frames + count * kChannels);
    FillBlocks();
    const std::size_t heldFrames = held_.size() / kChannels;
    if (heldFrames > kHeldFrames) {
        const std::size_t lost = heldFrames - kHeldFrames;
        counters_.lostFrames += lost;
        held_.erase(held_.begin(), held_.begin() + lost * kChannels);
    }
}

void CaptureDevice::FillBlocks() {
    std::size_t done = 0; // frames
    const std::size_t count = held_.size() / kChannels;
    while (done < count && !queue_.empty()) {
        WaveHdr* block = queue_.front();
        const std::size_t room = (block->dwBufferLength - block->dwBytesRecorded) / kFrameBytes;
        const std::size_t n = std::min(room, count - done);
        std::memcpy(block->lpData + block->dwBytesRecorded, held_.data() + done * kChannels,
                    n * kFrameBytes);
        block->dwBytesRecorded += static_cast<std::uint32_t>(n * kFrameBytes);
        done += n;
        if (block->dwBufferLength - block->dwBytesRecorded < kFrameBytes) {
            HandBackFront();
        }
    }
    held_.erase(held_.begin(), held_.begin() + done * kChannels);
}

void CaptureDevice::HandBackFront() {
    WaveHdr* block = queue_.front();
    queue_.pop_front();
    block->dwFlags = (block->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    PostThreadMessage(callback_, MM_WIM_DATA, handle_, reinterpret_cast<std::intptr_t>(block));
}

} // namespace tessmar
