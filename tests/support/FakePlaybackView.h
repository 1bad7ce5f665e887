// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/PlaybackView.h"
#include "platform/desktop/EventPump.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessmar::test {

// The main window as the playback sees it: what it is told goes into the shared log.
class FakePlaybackView : public PlaybackView {
public:
    explicit FakePlaybackView(std::vector<std::string>& log) : log_(log) {}

    std::string fileName = "take.wav";
    bool rejectFileName = false;
    bool cancelFlag = false;
    bool quitting = false;
    bool playEnabled = true;
    bool stopEnabled = false;
    std::string label = "untouched";
    int bar = -1;

    std::string PlaybackFileName() override {
        if (rejectFileName) {
            throw std::runtime_error("Ungültiger Dateiname - " + fileName);
        }
        return fileName;
    }
    void AllowPlaying(bool enabled) override {
        playEnabled = enabled;
        log_.push_back(enabled ? "PlayWAVBtn on" : "PlayWAVBtn off");
    }
    void AllowCancelling(bool enabled) override {
        stopEnabled = enabled;
        log_.push_back(enabled ? "StopPlayBtn on" : "StopPlayBtn off");
    }
    void ShowTime(const std::string& text) override {
        label = text;
        log_.push_back("label \"" + text + "\"");
    }
    void ShowProgress(int position) override {
        bar = position;
        log_.push_back("bar " + std::to_string(position));
    }
    bool CancelFlag() override { return cancelFlag; }
    void ClearCancelFlag() override {
        cancelFlag = false;
        log_.push_back("cancel cleared");
    }
    bool ApplicationQuitting() override { return quitting; }

private:
    std::vector<std::string>& log_;
};

// The window's event loop: each wait is one pass, on which the test may act.
class FakeEventPump : public EventPump {
public:
    explicit FakeEventPump(std::vector<std::string>& log) : log_(log) {}

    std::function<void(int pass)> onPass; // pass counts from 1

    void ServeEvents(std::chrono::milliseconds maxWait) override {
        log_.push_back("serve " + std::to_string(maxWait.count()));
        if (onPass) {
            onPass(++passes_);
        }
    }

private:
    std::vector<std::string>& log_;
    int passes_ = 0;
};

} // namespace tessmar::test
