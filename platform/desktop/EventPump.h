// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <thread>

namespace tessmar {

// The window system's event loop, for code on the window's thread that has to wait
// without freezing the window.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Waits for events for at most maxWait and dispatches what arrived.
    virtual void ServeEvents(std::chrono::milliseconds maxWait) = 0;
    // The same, but leaves user input waiting: the window repaints and the program's own
    // notifications (termination signals) are heard, but no click or key runs a handler.
    // One that can't tell input apart serves nothing and lets the time pass.
    virtual void ServeScreenOnly(std::chrono::milliseconds maxWait) {
        std::this_thread::sleep_for(maxWait);
    }
};

} // namespace tessmar
