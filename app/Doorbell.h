#pragma once

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

    int fd_ = -1;
    std::function<void()> answer_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace tessmar
