// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/TerminationSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace tessmar {
namespace {

// The write end of the current instance's pipe; a signal handler may do no more than write.
volatile std::sig_atomic_t writeEnd = -1;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void OnSignal(int signal) {
    // The interrupted code may be about to read errno: a full pipe (EAGAIN) must not change it.
    const int savedErrno = errno;
    const char byte = static_cast<char>(signal);
    if (writeEnd >= 0) {
        [[maybe_unused]] const ssize_t ignored = ::write(writeEnd, &byte, 1);
    }
    errno = savedErrno;
}

sigset_t Held() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

void Handle(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

} // namespace

void TerminationSignals::HoldUntilHandled() {
    const sigset_t held = Held();
    ::pthread_sigmask(SIG_BLOCK, &held, nullptr);
}

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    const sigset_t held = Held();
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::pthread_sigmask(SIG_UNBLOCK, &held, nullptr);
        return; // the signals keep their default handling
    }
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::Drain);
    writeEnd = pipe_[1];
    for (const int signal : kSignals) {
        Handle(signal, OnSignal);
    }
    // What came while they were held is handled now.
    ::pthread_sigmask(SIG_UNBLOCK, &held, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (pipe_[0] < 0) {
        return;
    }
    for (const int signal : kSignals) {
        Handle(signal, SIG_DFL);
    }
    writeEnd = -1;
    delete notifier_;
    ::close(pipe_[0]);
    ::close(pipe_[1]);
}

void TerminationSignals::Drain() {
    char bytes[16];
    bool any = false;
    while (::read(pipe_[0], bytes, sizeof bytes) > 0) {
        any = true;
    }
    if (any) {
        emit Requested();
    }
}

} // namespace tessmar
