#pragma once

#include <QObject>

class QSocketNotifier;

namespace tessmar {

// Turns SIGINT and SIGTERM (Ctrl+C in the terminal, the session ending) into a Qt signal
// on the window's thread, so the program can end a recording properly instead of dying
// with it. One instance at a time; the default handling returns when it is destroyed.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void Requested();

private:
    void Drain();

    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace tessmar
