// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/threads/ThreadMessages.h"

#include <atomic>
#include <chrono>
#include <future>
#include <memory>

namespace tessmar {

class MessageQueue;

// A thread object in the manner of the capture thread's design: created suspended, started
// by Resume, ended cooperatively through its terminated mark, optionally releasing itself
// when its body returns. It owns a message queue, and its thread identifier is where the
// recording device posts its notifications.
class TThread {
public:
    TThread();
    // An owner that keeps the object (no free-on-terminate) ends the thread with Terminate()
    // and WaitFor() before destroying it: the body must not outlive the derived object.
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts the body; once.
    void Resume();
    // Sets the terminated mark and wakes the thread if it waits for a message. The object
    // may release itself (free-on-terminate) as soon as the mark is set.
    void Terminate();
    bool Terminated() const { return terminated_.load(); }
    void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }
    ThreadId ThreadID() const { return id_; }
    // Waits until the body has returned; not for free-on-terminate threads.
    void WaitFor() const { finished_.wait(); }

    // Becomes ready once the body has returned and, with free-on-terminate, the object has
    // been released: safe to wait on when the object itself may be gone.
    std::shared_future<void> Finished() const { return finished_; }

protected:
    virtual void Execute() = 0;

private:
    static void Run(TThread* self);

    std::shared_ptr<MessageQueue> queue_;
    const ThreadId id_;
    std::atomic<bool> terminated_{false};
    bool freeOnTerminate_ = false;
    bool started_ = false;
    std::promise<void> finishedPromise_;
    std::shared_future<void> finished_;
};

} // namespace tessmar
