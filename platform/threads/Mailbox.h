// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <mutex>
#include <utility>

namespace tessmar {

// Hands what a worker thread produces to a window's thread, which a Doorbell wakes. The
// writer never waits for the window beyond a short lock, and learns whether the window
// still has to be rung: once per take, however many posts come before it. Nothing is
// allocated per post: `put` stores into the value that waits, within the room reserved
// once, and `take` swaps buffers with it rather than copying. What a post does is the
// caller's: a newest note replaces the one waiting, a pitch update joins the batch.
template <typename T> class Mailbox {
public:
    Mailbox() = default;
    explicit Mailbox(T waiting) : waiting_(std::move(waiting)) {}

    // Writer: `put(T& waiting)` stores into the waiting value. True when the reader has not
    // been told since its last take: ring it.
    template <typename PutFn> bool Post(PutFn&& put) {
        std::lock_guard lock(mutex_);
        std::forward<PutFn>(put)(waiting_);
        return !std::exchange(told_, true);
    }
    // Reader: `take(T& waiting)` takes what it needs; the next post rings again.
    template <typename TakeFn> void Take(TakeFn&& take) {
        std::lock_guard lock(mutex_);
        told_ = false;
        std::forward<TakeFn>(take)(waiting_);
    }
    // Either thread: `edit(T& waiting)` reserves room or drops what is stale; the reader is
    // told nothing.
    template <typename EditFn> void Edit(EditFn&& edit) {
        std::lock_guard lock(mutex_);
        std::forward<EditFn>(edit)(waiting_);
    }

private:
    std::mutex mutex_;
    T waiting_;
    bool told_ = false;
};

} // namespace tessmar
