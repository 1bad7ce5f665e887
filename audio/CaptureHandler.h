// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/CaptureState.h"
#include "audio/CaptureView.h"
#include "platform/capture/WaveIn.h"

#include <cstdint>

namespace tessmar {

class TThread;

// The capture thread's work: takes the device's notifications and, for every filled
// block, keeps it in the recording, has its note shown, gives it back to the device and
// draws its waveform.
class CaptureHandler {
public:
    CaptureHandler(CaptureState& state, WaveInApi& device, CaptureView& view)
        : state_(state), device_(device), view_(view) {}

    // Handles messages until the quit message or the thread's terminated mark.
    void ProcessCaptureMessages(const TThread& thread);
    // Handles the block BlockToggle names; the notification itself doesn't say which.
    void HandleCapturedBlock();

private:
    void DrawWaveform(const std::uint8_t* newest, std::uint32_t n);

    CaptureState& state_;
    WaveInApi& device_;
    CaptureView& view_;
};

} // namespace tessmar
