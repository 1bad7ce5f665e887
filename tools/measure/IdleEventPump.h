// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop/EventPump.h"

#include <chrono>
#include <thread>

namespace tessmar::measure {

// An event pump with no window behind it: serving events only lets a little time pass.
class IdleEventPump : public EventPump {
public:
    void ServeEvents(std::chrono::milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

} // namespace tessmar::measure
