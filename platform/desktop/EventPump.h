#pragma once

#include <chrono>

namespace tessmar {

// The window system's event loop, for code on the window's thread that has to wait
// without freezing the window.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Waits for events for at most maxWait and dispatches what arrived.
    virtual void ServeEvents(std::chrono::milliseconds maxWait) = 0;
};

} // namespace tessmar
