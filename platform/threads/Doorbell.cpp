// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/threads/Doorbell.h"

#include <QSocketNotifier>
#include <cstdint>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace tessmar {

Doorbell::Doorbell(std::function<void()> answer, QObject* parent)
    : QObject(parent), fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), answer_(std::move(answer)) {
    if (!fd_) {
        throw std::runtime_error("Kein Ereignis-Deskriptor für das Fenster verfügbar");
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_.get(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { Answer(); });
}

Doorbell::~Doorbell() = default; // the notifier, then the descriptor

void Doorbell::Ring() {
    const std::uint64_t one = 1;
    // Can only fail when the counter is near its end, and then a ring is already waiting.
    [[maybe_unused]] const ssize_t written = ::write(fd_.get(), &one, sizeof one);
}

void Doorbell::Answer() {
    std::uint64_t rings = 0;
    [[maybe_unused]] const ssize_t read = ::read(fd_.get(), &rings, sizeof rings);
    answer_();
}

} // namespace tessmar
