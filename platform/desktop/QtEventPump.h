// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop/EventPump.h"

namespace tessmar {

// Qt's event loop for waits on the window's thread: sleeps until an event or the time
// limit, then dispatches what arrived, so a wait costs no processor time.
class QtEventPump : public EventPump {
public:
    void ServeEvents(std::chrono::milliseconds maxWait) override;
    void ServeScreenOnly(std::chrono::milliseconds maxWait) override;
};

} // namespace tessmar
