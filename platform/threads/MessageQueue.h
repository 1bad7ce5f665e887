// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/threads/ThreadMessages.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace tessmar {

// One thread's message queue, registered under a thread identifier of its own so that
// PostThreadMessage can reach it until it is destroyed.
class MessageQueue {
public:
    static std::shared_ptr<MessageQueue> Create();
    ~MessageQueue();
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    ThreadId id() const { return id_; }
    void Post(const ThreadMessage& message);
    ThreadMessage Wait();

    // Makes this queue the one GetMessage serves on the calling thread, for as long as
    // the thread runs or until another queue is attached.
    static void AttachToCurrentThread(std::shared_ptr<MessageQueue> queue);
    static std::shared_ptr<MessageQueue> Find(ThreadId id);

private:
    explicit MessageQueue(ThreadId id) : id_(id) {}

    const ThreadId id_;
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<ThreadMessage> messages_;
};

} // namespace tessmar
