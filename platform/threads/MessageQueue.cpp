// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/threads/MessageQueue.h"

#include <unordered_map>

namespace tessmar {
namespace {

struct Registry {
    std::mutex mutex;
    ThreadId lastId = 0;
    std::unordered_map<ThreadId, std::weak_ptr<MessageQueue>> queues;
};

// Never destroyed: a program ended by exit() under a take (as Qt's xcb ends it when the
// display goes) runs the static destructors while the recording device still posts.
Registry& TheRegistry() {
    static Registry* registry = new Registry;
    return *registry;
}

thread_local std::shared_ptr<MessageQueue> currentQueue;

} // namespace

std::shared_ptr<MessageQueue> MessageQueue::Create() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    std::shared_ptr<MessageQueue> queue(new MessageQueue(++registry.lastId));
    registry.queues.emplace(queue->id(), queue);
    return queue;
}

MessageQueue::~MessageQueue() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.queues.erase(id_);
}

std::shared_ptr<MessageQueue> MessageQueue::Find(ThreadId id) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const auto it = registry.queues.find(id);
    return it == registry.queues.end() ? nullptr : it->second.lock();
}

void MessageQueue::Post(const ThreadMessage& message) {
    {
        std::lock_guard lock(mutex_);
        messages_.push_back(message);
    }
    posted_.notify_one();
}

ThreadMessage MessageQueue::Wait() {
    std::unique_lock lock(mutex_);
    posted_.wait(lock, [this] { return !messages_.empty(); });
    const ThreadMessage message = messages_.front();
    messages_.pop_front();
    return message;
}

void MessageQueue::AttachToCurrentThread(std::shared_ptr<MessageQueue> queue) {
    currentQueue = std::move(queue);
}

bool PostThreadMessage(ThreadId thread, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    const auto queue = MessageQueue::Find(thread);
    if (!queue) {
        return false;
    }
    queue->Post({message, wParam, lParam});
    return true;
}

bool GetMessage(ThreadMessage* message) {
    if (!currentQueue) {
        *message = {WM_QUIT, 0, 0};
        return false;
    }
    *message = currentQueue->Wait();
    return message->message != WM_QUIT;
}

} // namespace tessmar
