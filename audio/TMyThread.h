// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/threads/TThread.h"

namespace tessmar {

class CaptureHandler;

// The capture thread of one recording.
class TMyThread : public TThread {
public:
    explicit TMyThread(CaptureHandler& handler) : handler_(handler) {}

protected:
    void Execute() override;

private:
    CaptureHandler& handler_;
};

} // namespace tessmar
