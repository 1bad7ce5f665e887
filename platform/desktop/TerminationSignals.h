// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace tessmar {

// Turns SIGINT, SIGTERM and SIGHUP (Ctrl+C, the session ending, the terminal closing) into
// a Qt signal on the window's thread, so the program can end a recording properly instead
// of dying with it. Further signals only repeat the request, so they never cut a save
// short. One instance at a time; the default handling returns when it is destroyed, so it
// must outlive everything that may still save a recording.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // Call first thing in main, before any thread starts: the signals wait, blocked, until
    // an instance handles them. A script's `prog &` starts the program with SIGINT ignored,
    // and a signal ignored on arrival is gone; a blocked one stays pending.
    static void HoldUntilHandled();

signals:
    void Requested();

private:
    void Drain();

    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace tessmar
