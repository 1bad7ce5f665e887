// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/system/UniqueFd.h"

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace tessmar {

// Wakes the thread it was made on from any other thread, without allocating and without
// waiting: an eventfd that the owner's event loop watches. Rings that come before the
// owner answers are answered once.
class Doorbell : public QObject {
public:
    explicit Doorbell(std::function<void()> answer, QObject* parent = nullptr);
    ~Doorbell() override;
    Doorbell(const Doorbell&) = delete;
    Doorbell& operator=(const Doorbell&) = delete;

    // Any thread.
    void Ring();

private:
    void Answer();

    const UniqueFd fd_;
    std::function<void()> answer_;
    std::unique_ptr<QSocketNotifier> notifier_; // after the descriptor: stops watching first
};

} // namespace tessmar
