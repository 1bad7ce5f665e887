#include "platform/desktop/QtEventPump.h"

#include <QCoreApplication>
#include <QTimer>

namespace tessmar {

void QtEventPump::ServeEvents(std::chrono::milliseconds maxWait) {
    // The timer's own event ends the wait when nothing else comes.
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(maxWait);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace tessmar
