// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/capture/CaptureDevice.h"

#include "platform/capture/CaptureFormat.h"
#include "platform/threads/SteadyNanos.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

namespace tessmar {
namespace {

constexpr std::size_t kReadFrames = 1024; // at most one period at a time

} // namespace

// Everything the device thread uses. The thread holds a share of it, so that a thread
// that Close had to leave behind still finds it whole whenever its source returns.
class CaptureDevice::Core {
public:
    Core(HWAVEIN handle, ThreadId callback, std::unique_ptr<CaptureSource> source,
         std::shared_ptr<CaptureCounters> counters)
        : handle_(handle), callback_(callback), source_(std::move(source)),
          counters_(std::move(counters)) {}

    void Run(std::stop_token stop);
    MMRESULT AddBuffer(WaveHdr* header);
    MMRESULT Start();
    MMRESULT Stop(bool all);
    // Ends the device's work on blocks; false when already closed.
    bool MarkClosed();
    // Waits up to maxWait for the thread's end; false, and counted as stranded, if it
    // hasn't ended.
    bool WaitForThread(std::chrono::milliseconds maxWait);
    void ReleaseSource() { source_.reset(); }
    void Post(std::uint32_t message) { PostThreadMessage(callback_, message, handle_, 0); }

private:
    // With the lock held:
    void Deliver(const std::int16_t* frames, std::size_t count);
    void FillBlocks();
    void HandBackFront();
    void HandBackLostInput();

    const HWAVEIN handle_;
    const ThreadId callback_;
    std::unique_ptr<CaptureSource> source_; // the device thread's while it runs
    const std::shared_ptr<CaptureCounters> counters_;

    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<WaveHdr*> queue_;
    std::vector<std::int16_t> held_; // input not yet in a block, oldest first
    std::uint64_t starts_ = 0;
    std::uint64_t activeStart_ = 0; // the start being captured for; 0 while stopped
    bool closed_ = false;
    bool lost_ = false;     // the source is gone
    bool lostTold_ = false; // MM_WIM_LOST posted
    bool finished_ = false; // the thread has done its last
    bool stranded_ = false; // Close stopped waiting for the thread
};

CaptureDevice::CaptureDevice(HWAVEIN handle, ThreadId callback,
                             std::unique_ptr<CaptureSource> source,
                             std::shared_ptr<CaptureCounters> counters)
    : core_(std::make_shared<Core>(handle, callback, std::move(source), std::move(counters))),
      thread_([core = core_](std::stop_token stop) { core->Run(stop); }) {
    core_->Post(MM_WIM_OPEN);
}

CaptureDevice::~CaptureDevice() {
    Close();
}

MMRESULT CaptureDevice::AddBuffer(WaveHdr* header) {
    return core_->AddBuffer(header);
}

MMRESULT CaptureDevice::Start() {
    return core_->Start();
}

MMRESULT CaptureDevice::Stop() {
    return core_->Stop(false);
}

MMRESULT CaptureDevice::Reset() {
    return core_->Stop(true);
}

MMRESULT CaptureDevice::Close() {
    if (!core_->MarkClosed()) {
        return MMSYSERR_INVALHANDLE;
    }
    thread_.request_stop();
    if (core_->WaitForThread(kCloseWait)) {
        thread_.join();
        core_->ReleaseSource();
    } else {
        thread_.detach(); // it releases the source itself, whenever it gets out
    }
    core_->Post(MM_WIM_CLOSE);
    return MMSYSERR_NOERROR;
}

MMRESULT CaptureDevice::Core::AddBuffer(WaveHdr* header) {
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
    if (lost_ && activeStart_ != 0) {
        HandBackLostInput(); // what was held when the source went
    } else {
        FillBlocks();
    }
    return MMSYSERR_NOERROR;
}

MMRESULT CaptureDevice::Core::Start() {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return MMSYSERR_INVALHANDLE;
        }
        if (activeStart_ == 0) {
            activeStart_ = ++starts_;
            if (lost_) {
                HandBackLostInput(); // a start on a lost device learns of it at once
            }
        }
    }
    changed_.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT CaptureDevice::Core::Stop(bool all) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return MMSYSERR_INVALHANDLE;
        }
        activeStart_ = 0;
        held_.clear();
        if (all) {
            while (!queue_.empty()) {
                HandBackFront();
            }
        } else if (!queue_.empty() && queue_.front()->dwBytesRecorded > 0) {
            HandBackFront();
        }
    }
    changed_.notify_all();
    return MMSYSERR_NOERROR;
}

bool CaptureDevice::Core::MarkClosed() {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return false;
        }
        closed_ = true;
        activeStart_ = 0;
        held_.clear();
        while (!queue_.empty()) {
            HandBackFront();
        }
    }
    changed_.notify_all();
    return true;
}

bool CaptureDevice::Core::WaitForThread(std::chrono::milliseconds maxWait) {
    std::unique_lock lock(mutex_);
    if (changed_.wait_for(lock, maxWait, [this] { return finished_; })) {
        return true;
    }
    stranded_ = true;
    ++counters_->strandedThreads;
    return false;
}

void CaptureDevice::Core::Run(std::stop_token stop) {
    std::vector<std::int16_t> chunk(kReadFrames * kChannels);
    std::uint64_t running = 0; // the start the source was started for; 0 while stopped
    std::uint64_t overruns = source_->Overruns();
    std::uint64_t dropped = source_->DroppedFrames();
    bool lost = false;
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
        std::size_t count = 0;
        if (wanted != running) {
            // A new start begins afresh; nothing read for an earlier one is delivered.
            wanted != 0 ? source_->Start() : source_->Stop();
            running = wanted;
            lost = source_->Lost();
            if (!lost) {
                continue;
            }
        } else {
            count = source_->Read(chunk.data(), kReadFrames, stop);
            lost = source_->Lost();
        }
        const std::uint64_t nowOverruns = source_->Overruns();
        counters_->sourceOverruns += nowOverruns - overruns;
        overruns = nowOverruns;
        const std::uint64_t nowDropped = source_->DroppedFrames();
        counters_->lostFrames += nowDropped - dropped;
        dropped = nowDropped;
        std::unique_lock lock(mutex_);
        if (activeStart_ == running && running != 0) {
            Deliver(chunk.data(), count);
        }
        if (lost) {
            lost_ = true;
            if (activeStart_ != 0) {
                HandBackLostInput();
            }
            // Nothing more will come: sleep until closed instead of asking again.
            changed_.wait(lock, stop, [] { return false; });
            break;
        }
    }
    if (running != 0 && !lost) {
        source_->Stop();
    }
    bool stranded = false;
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        stranded = stranded_;
    }
    changed_.notify_all();
    if (stranded) {
        // Close has gone on without this thread: the source is this thread's to release.
        source_.reset();
        --counters_->strandedThreads;
    }
}

void CaptureDevice::Core::Deliver(const std::int16_t* frames, std::size_t count) {
    held_.insert(held_.end(), frames, frames + count * kChannels);
    FillBlocks();
    const std::size_t heldFrames = held_.size() / kChannels;
    if (heldFrames > kHeldFrames) {
        const std::size_t lost = heldFrames - kHeldFrames;
        counters_->lostFrames += lost;
        held_.erase(held_.begin(), held_.begin() + lost * kChannels);
    }
}

void CaptureDevice::Core::FillBlocks() {
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

void CaptureDevice::Core::HandBackFront() {
    WaveHdr* block = queue_.front();
    queue_.pop_front();
    block->dwFlags = (block->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    block->filledAt = SteadyNanos();
    PostThreadMessage(callback_, MM_WIM_DATA, handle_, reinterpret_cast<std::intptr_t>(block));
}

// The source is gone: whatever it delivered goes to the blocks, a partly filled one too,
// and once nothing is left over the loss is told, once.
void CaptureDevice::Core::HandBackLostInput() {
    FillBlocks();
    if (!queue_.empty() && queue_.front()->dwBytesRecorded > 0) {
        HandBackFront();
    }
    if (held_.empty() && !lostTold_) {
        lostTold_ = true;
        Post(MM_WIM_LOST);
    }
}

} // namespace tessmar
