// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/PitchListener.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tessmar {

// Carries the listener's updates and device messages to the window's thread: the listener
// never waits for the window, and the window is rung once however many updates pile up.
class PitchMailbox : public PitchListener::Sink {
public:
    // doorbell is called on the listener's thread when the box stops being empty.
    explicit PitchMailbox(std::function<void()> doorbell) : doorbell_(std::move(doorbell)) {}

    void Shown(const PitchUpdate& update) override;
    void DeviceState(const std::string& message) override;

    struct Contents {
        std::vector<PitchUpdate> updates;
        bool deviceChanged = false;
        std::string deviceMessage;
    };
    // Everything since the last call, for the window's thread.
    Contents Take();

private:
    void Ring(bool wasEmpty);

    std::function<void()> doorbell_;
    std::mutex mutex_;
    Contents contents_;
};

} // namespace tessmar
