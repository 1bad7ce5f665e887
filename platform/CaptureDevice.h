#pragma once

#include "platform/CaptureCounters.h"
#include "platform/CaptureSource.h"
#include "platform/WaveIn.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tessmar {

// One open recording device: a thread of its own reads the source and fills the queued
// blocks strictly in queueing order, handing each back to the notification thread
// (MM_WIM_DATA) as soon as it is full. Input that finds no block queued waits in the
// device, as in a sound card's buffer, for at most kHeldFrames; older input is then lost
// and counted. Every method may be called from any thread; the blocks are only touched
// under the device's lock, and notifications are posted under it too, so that they
// arrive in hand-back order.
class CaptureDevice {
public:
    static constexpr std::size_t kHeldFrames = 8 * 1024; // about 0.74 s

    // Posts MM_WIM_OPEN and starts the device thread, which waits for Start.
    CaptureDevice(HWAVEIN handle, ThreadId callback, std::unique_ptr<CaptureSource> source,
                  CaptureCounters& counters);
    // Closes, if Close was not called.
    ~CaptureDevice();
    CaptureDevice(const CaptureDevice&) = delete;
    CaptureDevice& operator=(const CaptureDevice&) = delete;

    MMRESULT AddBuffer(WaveHdr* header);
    MMRESULT Start();
    // Hands back the block being filled, if it holds anything; others stay queued. Input
    // not yet in a block is dropped, here and in Reset and Close.
    MMRESULT Stop();
    // Stops and hands back every queued block.
    MMRESULT Reset();
    // Hands back every queued block and ends the device thread; then posts MM_WIM_CLOSE.
    // Afterwards no block is written and nothing else is posted.
    MMRESULT Close();

private:
    void Run(std::stop_token stop);
    // With the lock held:
    void Deliver(const std::int16_t* frames, std::size_t count);
    void FillBlocks();
    void HandBackFront();

    const HWAVEIN handle_;
    const ThreadId callback_;
    std::unique_ptr<CaptureSource> source_; // the device thread's while it runs
    CaptureCounters& counters_;

    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<WaveHdr*> queue_;
    std::vector<std::int16_t> held_; // input not yet in a block, oldest first
    std::uint64_t starts_ = 0;
    std::uint64_t activeStart_ = 0; // the start being captured for; 0 while stopped
    bool closed_ = false;

    std::jthread thread_; // last, so that it starts with everything above in place
};

} // namespace tessmar
