// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/QtEventPump.h"

#include <QCoreApplication>
#include <QTimer>

namespace tessmar {

namespace {

void Serve(std::chrono::milliseconds maxWait, QEventLoop::ProcessEventsFlags which) {
    // The timer's own event ends the wait when nothing else comes.
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(maxWait);
    QCoreApplication::processEvents(which | QEventLoop::WaitForMoreEvents);
}

} // namespace

void QtEventPump::ServeEvents(std::chrono::milliseconds maxWait) {
    Serve(maxWait, QEventLoop::AllEvents);
}

void QtEventPump::ServeScreenOnly(std::chrono::milliseconds maxWait) {
    Serve(maxWait, QEventLoop::ExcludeUserInputEvents);
}

} // namespace tessmar
