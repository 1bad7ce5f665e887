// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/CaptureHandler.h"
#include "audio/CaptureState.h"
#include "audio/CaptureView.h"
#include "platform/capture/WaveIn.h"
#include "platform/desktop/EventPump.h"

#include <future>

namespace tessmar {

// Starts and stops a recording: the device with its two alternating blocks, the capture
// thread, and at the end the WAV file.
class CaptureEngine {
public:
    // recordingLimit: the most bytes one recording keeps in memory.
    CaptureEngine(WaveInApi& device, CaptureView& view, EventPump& events,
                  std::int32_t recordingLimit = RecordingBuffer::kMaxBytes)
        : device_(device), view_(view), events_(events), recordingLimit_(recordingLimit),
          handler_(state_, device, view) {}
    ~CaptureEngine();
    CaptureEngine(const CaptureEngine&) = delete;
    CaptureEngine& operator=(const CaptureEngine&) = delete;

    // Opens the device with its two blocks and starts the capture thread. A device that
    // can't be opened ends it silently; Stop still cleans up.
    void Start();
    // Ends device and thread, then writes the recording if there is one and a file
    // is named. Call once after each Start.
    void Stop();

    // Every kept block also goes to journal (null: none), from the next Start on.
    void SetJournal(TakeJournal* journal) { state_.Journal = journal; }

    bool Running() const { return state_.CaptureThread != nullptr; }
    const CaptureState& state() const { return state_; }

private:
    void StartDevice(const WaveFormatEx& format);
    void WaitForCaptureThread();
    void SaveRecording();

    WaveInApi& device_;
    CaptureView& view_;
    EventPump& events_;
    const std::int32_t recordingLimit_;
    CaptureState state_;
    CaptureHandler handler_;
    std::shared_future<void> captureThreadEnded_;
};

} // namespace tessmar
