// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop/QtEventPump.h"

#include <chrono>
#include <functional>
#include <thread>
#include <utility>

namespace tessmar::test {

// Qt's event loop, which a test can hold: while `holding`, a wait dispatches nothing, as
// when the window's thread is busy elsewhere at that moment. `next` runs once, at the start
// of the next wait, before anything is dispatched.
class ScriptedEventPump : public EventPump {
public:
    void ServeEvents(std::chrono::milliseconds maxWait) override {
        if (next) {
            std::exchange(next, nullptr)();
        }
        if (holding) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return;
        }
        qt_.ServeEvents(maxWait);
    }
    void ServeScreenOnly(std::chrono::milliseconds maxWait) override {
        qt_.ServeScreenOnly(maxWait);
    }
    bool holding = false;
    std::function<void()> next;

private:
    QtEventPump qt_;
};

} // namespace tessmar::test
