// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/PitchListener.h"

#include "platform/threads/MessageQueue.h"
#include "platform/threads/SteadyNanos.h"

#include <algorithm>
#include <stop_token>
#include <vector>

namespace tessmar {
namespace {

constexpr const char* kMissing = "Kein Aufnahmegerät erreichbar. Tessmar versucht es weiter, "
                                 "schließen Sie ein Mikrofon an oder starten Sie den Soundserver.";
constexpr const char* kLost = "Das Aufnahmegerät ist nicht mehr erreichbar. Tessmar hört wieder "
                              "zu, sobald es zurück ist.";

} // namespace

PitchListener::PitchListener(WaveInApi& device, Sink& sink, int rate, int windowFrames,
                             std::size_t hopFrames, std::chrono::milliseconds retry,
                             double concertA)
    : device_(device), sink_(sink), rate_(rate), hopFrames_(hopFrames), retry_(retry),
      tracker_(rate, windowFrames, concertA), thread_([this](std::stop_token stop) { Run(stop); }) {
}

PitchListener::~PitchListener() {
    thread_.request_stop();
    wake_.notify_all();
    thread_.join();
}

void PitchListener::Tell(const std::string& message) {
    if (message != told_) {
        told_ = message;
        sink_.DeviceState(message);
    }
}

void PitchListener::Run(std::stop_token stop) {
    bool lostBefore = false;
    while (!stop.stop_requested()) {
        const bool opened = Listen(stop);
        if (stop.stop_requested()) {
            break;
        }
        lostBefore = lostBefore || opened;
        Tell(lostBefore ? kLost : kMissing);
        std::unique_lock lock(waitMutex_);
        wake_.wait_for(lock, stop, retry_, [] { return false; });
    }
}

bool PitchListener::Listen(std::stop_token& stop) {
    // A queue per session: notifications a closed device left behind go nowhere.
    const auto queue = MessageQueue::Create();
    MessageQueue::AttachToCurrentThread(queue);
    std::stop_callback quit(stop, [id = queue->id()] { PostThreadMessage(id, WM_QUIT, 0, 0); });

    const WaveFormatEx format = CaptureFormat(rate_);
    HWAVEIN handle = 0;
    if (device_.waveInOpen(&handle, WAVE_MAPPER, &format, queue->id(), 0, CALLBACK_THREAD) !=
        MMSYSERR_NOERROR) {
        return false;
    }
    const std::size_t bytes = hopFrames_ * kFrameBytes;
    std::vector<std::int16_t> memory(kBlocks * hopFrames_ * kChannels);
    WaveHdr headers[kBlocks];
    for (int i = 0; i < kBlocks; ++i) {
        headers[i].lpData =
            reinterpret_cast<std::uint8_t*>(memory.data() + i * hopFrames_ * kChannels);
        headers[i].dwBufferLength = std::uint32_t(bytes);
        device_.waveInPrepareHeader(handle, &headers[i], kWaveHdrSize);
        device_.waveInAddBuffer(handle, &headers[i], kWaveHdrSize);
    }
    device_.waveInStart(handle);

    ThreadMessage message;
    while (!stop.stop_requested() && GetMessage(&message)) {
        if (message.message == MM_WIM_LOST) {
            break;
        }
        if (message.message != MM_WIM_DATA) {
            continue;
        }
        auto* header = reinterpret_cast<WaveHdr*>(message.lParam);
        if (header->dwBytesRecorded == bytes) {
            const auto now = std::chrono::steady_clock::now();
            if (!heard_) {
                heard_ = true;
                firstFrame_ = now - std::chrono::microseconds(hopFrames_ * 1'000'000 / rate_);
            } else if (told_ != "") {
                // Back after a gap: the clock counts on from the first frame ever heard,
                // the gap included, and never goes back.
                const auto since = std::chrono::duration<double>(now - firstFrame_).count();
                const auto wall = std::uint64_t(std::max(0.0, since * rate_ - double(hopFrames_)));
                tracker_.Restart(std::max(tracker_.frames(), wall));
            }
            Tell("");
            const auto* frames = reinterpret_cast<const std::int16_t*>(header->lpData);
            PitchUpdate update = tracker_.Feed(frames, hopFrames_);
            sink_.Frames(frames, hopFrames_, update.seconds);
            update.filledAt = header->filledAt;
            update.estimatedAt = SteadyNanos();
            sink_.Shown(update);
        }
        header->dwBytesRecorded = 0;
        device_.waveInAddBuffer(handle, header, kWaveHdrSize);
    }
    device_.waveInReset(handle);
    device_.waveInClose(handle);
    return true;
}

} // namespace tessmar
