// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/CaptureCounters.h"
#include "platform/capture/CaptureSource.h"
#include "platform/capture/WaveIn.h"

#include <chrono>
#include <memory>
#include <thread>

namespace tessmar {

// One open recording device: a thread of its own reads the source and fills the queued
// blocks strictly in queueing order, handing each back to the notification thread
// (MM_WIM_DATA) as soon as it is full. Input that finds no block queued waits in the
// device, as in a sound card's buffer, for at most kHeldFrames; older input is then lost
// and counted. A source that is lost hands back what it holds and posts MM_WIM_LOST.
// Every method may be called from any thread; the blocks are only touched under the
// device's lock, and notifications are posted under it too, so that they arrive in
// hand-back order.
class CaptureDevice {
public:
    static constexpr std::size_t kHeldFrames = 8 * 1024; // about 0.74 s
    // How long Close waits for a device thread stuck in its source before leaving it.
    static constexpr std::chrono::milliseconds kCloseWait{1000};

    // Posts MM_WIM_OPEN and starts the device thread, which waits for Start.
    CaptureDevice(HWAVEIN handle, ThreadId callback, std::unique_ptr<CaptureSource> source,
                  std::shared_ptr<CaptureCounters> counters);
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
    // Afterwards no block is written and nothing else is posted. A thread that doesn't
    // end within kCloseWait (its source hangs in a call) is left to end by itself: it
    // shares ownership of what it uses, touches no block and posts nothing any more.
    MMRESULT Close();

private:
    class Core;

    std::shared_ptr<Core> core_;
    std::jthread thread_;
};

} // namespace tessmar
