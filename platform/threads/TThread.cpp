// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/threads/TThread.h"

#include "platform/threads/MessageQueue.h"

#include <cassert>
#include <thread>

namespace tessmar {

TThread::TThread()
    : queue_(MessageQueue::Create()), id_(queue_->id()), finished_(finishedPromise_.get_future()) {}

TThread::~TThread() {
    assert(!started_ || freeOnTerminate_ ||
           finished_.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
}

void TThread::Resume() {
    if (started_) {
        return;
    }
    std::thread(&TThread::Run, this).detach();
    started_ = true; // only once the thread exists: a failed start leaves it unstarted
}

void TThread::Terminate() {
    // Once the mark is set the object may be gone; only the queue is used afterwards.
    const std::shared_ptr<MessageQueue> queue = queue_;
    terminated_ = true;
    queue->Post({WM_NULL, 0, 0});
}

void TThread::Run(TThread* self) {
    MessageQueue::AttachToCurrentThread(self->queue_);
    try {
        self->Execute();
    } catch (...) {
        // An error in the body ends the thread; there is no one on this thread to tell.
    }
    std::promise<void> finished = std::move(self->finishedPromise_);
    if (self->freeOnTerminate_) {
        // A body that ended early (by an error) must not release the object while its owner
        // may still mark it terminated: that mark is the owner's last touch.
        const std::shared_ptr<MessageQueue> queue = self->queue_;
        while (!self->Terminated()) {
            queue->Wait();
        }
        delete self;
    }
    MessageQueue::AttachToCurrentThread(nullptr);
    finished.set_value();
}

} // namespace tessmar
