// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/TMyThread.h"

#include "audio/CaptureHandler.h"

namespace tessmar {

void TMyThread::Execute() {
    // The quit message only restarts the wait; the terminated mark alone ends the thread.
    while (!Terminated()) {
        handler_.ProcessCaptureMessages(*this);
    }
}

} // namespace tessmar
