// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/CaptureFormat.h"
#include "platform/capture/WaveIn.h"
#include "platform/threads/MessageQueue.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace tessmar::test {

inline constexpr std::uint32_t kSentinel = 0x7FFF; // posted by the test itself

// One block as the capture engine keeps it: memory and its header.
struct Block {
    explicit Block(std::uint32_t bytes) : data(bytes) {
        header.lpData = data.data();
        header.dwBufferLength = bytes;
    }
    std::vector<std::uint8_t> data;
    WaveHdr header;

    // The frames the device recorded, as 16-bit samples.
    std::vector<std::int16_t> Samples() const {
        std::vector<std::int16_t> samples(header.dwBytesRecorded / kBytesPerSample);
        std::memcpy(samples.data(), data.data(), samples.size() * kBytesPerSample);
        return samples;
    }
};

// The test thread plays the capture thread: it owns the queue the device notifies.
class WaveInHarness {
public:
    explicit WaveInHarness(WaveInApi& api) : api_(api) {}

    MMRESULT Open(HWAVEIN* handle) {
        const WaveFormatEx format = CaptureFormat();
        return api_.waveInOpen(handle, WAVE_MAPPER, &format, queue_->id(), 0, CALLBACK_THREAD);
    }

    // Opens and takes the MM_WIM_OPEN notification.
    HWAVEIN OpenOrFail() {
        HWAVEIN handle = 0;
        EXPECT_EQ(Open(&handle), MMSYSERR_NOERROR);
        EXPECT_NE(handle, 0u);
        EXPECT_EQ(Next().message, MM_WIM_OPEN);
        return handle;
    }

    void Queue(HWAVEIN handle, Block& block) {
        ASSERT_EQ(api_.waveInPrepareHeader(handle, &block.header, kWaveHdrSize), MMSYSERR_NOERROR);
        ASSERT_EQ(api_.waveInAddBuffer(handle, &block.header, kWaveHdrSize), MMSYSERR_NOERROR);
    }

    // Waits for the next notification; a device that never sends one is caught by the
    // test's time limit.
    ThreadMessage Next() { return queue_->Wait(); }

    // Waits for the next notification and returns the block it hands back.
    WaveHdr* NextBlock() {
        const ThreadMessage message = Next();
        EXPECT_EQ(message.message, MM_WIM_DATA);
        return message.message == MM_WIM_DATA ? reinterpret_cast<WaveHdr*>(message.lParam)
                                              : nullptr;
    }

    // Every notification posted until now.
    std::vector<ThreadMessage> Pending() {
        queue_->Post({kSentinel, 0, 0});
        std::vector<ThreadMessage> messages;
        for (ThreadMessage m = Next(); m.message != kSentinel; m = Next()) {
            messages.push_back(m);
        }
        return messages;
    }

    ThreadId thread() const { return queue_->id(); }

private:
    WaveInApi& api_;
    std::shared_ptr<MessageQueue> queue_ = MessageQueue::Create();
};

// A handed-back block: done, out of the queue, still prepared.
inline void ExpectHandedBack(const WaveHdr* header) {
    ASSERT_NE(header, nullptr);
    EXPECT_TRUE(header->dwFlags & WHDR_DONE);
    EXPECT_FALSE(header->dwFlags & WHDR_INQUEUE);
    EXPECT_TRUE(header->dwFlags & WHDR_PREPARED);
    EXPECT_EQ(header->dwBytesRecorded % kFrameBytes, 0u);
    EXPECT_LE(header->dwBytesRecorded, header->dwBufferLength);
}

} // namespace tessmar::test
