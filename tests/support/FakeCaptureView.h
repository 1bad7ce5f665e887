// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/SemitoneDetector.h"
#include "audio/CaptureView.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace tessmar::test {

// The window as the recording sees it, with what it was shown kept for the test.
class FakeCaptureView : public CaptureView {
public:
    std::string OutputFileName() override {
        std::lock_guard lock(mutex_);
        return fileName_;
    }
    bool OutputFileNamed() override { return !OutputFileName().empty(); }
    void SetFileName(std::string name) {
        std::lock_guard lock(mutex_);
        fileName_ = std::move(name);
    }
    void AnalizeFrequenz(const std::uint8_t* block) override {
        const std::int32_t note = DetectNote(block);
        std::lock_guard lock(mutex_);
        notes_.push_back(note);
    }
    ViewSize WaveformViewSize() override { return {437, 117}; }
    void ShowWaveform(const WaveformTrace& trace) override {
        std::lock_guard lock(mutex_);
        traces_.push_back(trace);
        changed_.notify_all();
    }
    void RecordingFull(RecordingLimit why) override {
        std::lock_guard lock(mutex_);
        ++fullReports_;
        limits_.push_back(why);
    }
    void RecordingSaved(const std::string& fileName) override { saved.push_back(fileName); }
    void DeviceLost() override {
        std::lock_guard lock(mutex_);
        ++lostReports_;
        changed_.notify_all();
    }
    std::string AskForOtherFile(const std::string& fileName, const std::string& reason) override {
        std::lock_guard lock(mutex_);
        askedAbout.push_back(fileName + ": " + reason);
        if (otherNames.empty()) {
            return {};
        }
        std::string next = otherNames.front();
        otherNames.erase(otherNames.begin());
        return next;
    }

    // Waits (hang guard: 10 s) until `count` blocks have been drawn.
    bool WaitForTraces(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10),
                                 [&] { return traces_.size() >= count; });
    }
    std::size_t Analysed() {
        std::lock_guard lock(mutex_);
        return notes_.size();
    }
    std::size_t Drawn() {
        std::lock_guard lock(mutex_);
        return traces_.size();
    }
    int FullReports() {
        std::lock_guard lock(mutex_);
        return fullReports_;
    }
    std::vector<RecordingLimit> Limits() {
        std::lock_guard lock(mutex_);
        return limits_;
    }
    // Waits (hang guard: 10 s) for the first report of a lost device; how many there were.
    int WaitForLostReport() {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(10), [&] { return lostReports_ > 0; });
        return lostReports_;
    }

    void DeviceUnavailable(std::uint32_t code) override { unavailable.push_back(code); }

    std::vector<std::uint32_t> unavailable;
    std::vector<std::string> otherNames; // answers to AskForOtherFile, in order
    std::vector<std::string> askedAbout;
    std::vector<std::string> saved; // RecordingSaved, in order

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string fileName_;
    std::vector<std::int32_t> notes_;
    std::vector<WaveformTrace> traces_;
    int fullReports_ = 0;
    std::vector<RecordingLimit> limits_;
    int lostReports_ = 0;
};

} // namespace tessmar::test
