// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/RecordingBuffer.h"
#include "audio/WaveformTrace.h"
#include "platform/capture/CaptureFormat.h"
#include "platform/capture/WaveIn.h"

#include <array>
#include <cstdint>
#include <memory>

namespace tessmar {

class TMyThread;
class TakeJournal;

// Everything one recording runs on. The window's thread writes it only before the device
// runs and after the capture thread has ended; in between it belongs to the capture thread.
struct CaptureState {
    HWAVEIN WaveInHandle = 0;
    std::unique_ptr<std::uint8_t[]> WaveBuffer1;
    std::unique_ptr<std::uint8_t[]> WaveBuffer2;
    WaveHdr WaveHeader1;
    WaveHdr WaveHeader2;
    std::int32_t BlockToggle = 0; // 0: the next filled block is block 1
    RecordingBuffer Recording;
    // Releases itself when its body ends; only used to mark it terminated.
    TMyThread* CaptureThread = nullptr;
    // Set when the recording stopped growing for want of room, until it is discarded;
    // the user hears of it once per recording.
    bool KeepingStopped = false;
    bool RecordingFullReported = false;
    // The newest block when it could not be kept in the recording, for drawing.
    std::array<std::uint8_t, kBlockBytes> UnkeptBlock{};
    // Where the kept blocks also go, so that the take survives the program; may be null.
    TakeJournal* Journal = nullptr;
    // The newest block's trace, made room for once at start and reused for every block.
    WaveformTrace Trace;
};

} // namespace tessmar
