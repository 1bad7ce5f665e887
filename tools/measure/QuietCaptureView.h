// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/CaptureView.h"

#include <atomic>
#include <string>

namespace tessmar::measure {

// A window that only names the file and counts the "full" message: no analysis and no
// drawing, so that a long take costs only what the recording itself costs.
class QuietCaptureView : public CaptureView {
public:
    explicit QuietCaptureView(std::string fileName) : fileName_(std::move(fileName)) {}

    std::string OutputFileName() override { return fileName_; }
    bool OutputFileNamed() override { return !fileName_.empty(); }
    void AnalizeFrequenz(const std::uint8_t*) override {}
    ViewSize WaveformViewSize() override { return {0, 0}; }
    void ShowWaveform(const WaveformTrace&) override {}
    void RecordingFull(RecordingLimit why) override {
        ++fullReports;
        outOfMemory = why == RecordingLimit::OutOfMemory;
    }
    void DeviceLost() override {}
    void DeviceUnavailable(std::uint32_t) override {}
    std::string AskForOtherFile(const std::string&, const std::string&) override { return {}; }
    void RecordingSaved(const std::string&) override {}

    std::atomic<int> fullReports = 0;
    std::atomic<bool> outOfMemory = false; // the last "full" was for want of memory

private:
    const std::string fileName_; // never changes during a take, so any thread may read it
};

} // namespace tessmar::measure
