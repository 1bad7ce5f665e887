// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace tessmar {

// How a thread waits for a call that may never return (a sound server that was stopped,
// say): called again and again while the call runs, with the time waited so far; it may
// serve the window meanwhile (a few milliseconds at a time), and returns false to stop
// waiting. Empty: wait for as long as the call takes.
using SlowCallWait = std::function<bool(std::chrono::milliseconds waited)>;

// How long a call may take before the wait is asked at all: the common case, a call that
// returns at once, lets nothing else run meanwhile.
inline constexpr std::chrono::milliseconds kSlowCallQuiet{100};

// Runs call on a thread of its own and waits for its result as `wait` says. When the wait
// gives up, nullopt: the call then ends by itself, whenever it does, and its result is
// dropped on its own thread, so it must own everything it uses (capture by value).
template <class T> std::optional<T> RunAside(std::function<T()> call, const SlowCallWait& wait) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<T> result;
    };
    auto shared = std::make_shared<Shared>();
    const auto task = std::make_shared<std::function<T()>>(std::move(call));
    try {
        std::thread([shared, task] {
            T value = (*task)();
            std::lock_guard lock(shared->mutex);
            shared->result.emplace(std::move(value));
            shared->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return (*task)(); // no thread to spare: the call runs here, as it would have anyway
    }
    const auto begin = std::chrono::steady_clock::now();
    std::unique_lock lock(shared->mutex);
    const auto arrived = [&] { return shared->result.has_value(); };
    if (!shared->done.wait_for(lock, kSlowCallQuiet, arrived)) {
        for (;;) {
            if (!wait) {
                shared->done.wait(lock, arrived);
                break;
            }
            lock.unlock();
            const bool goOn = wait(std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - begin));
            lock.lock();
            if (arrived()) {
                break;
            }
            if (!goOn) {
                return std::nullopt;
            }
        }
    }
    return std::move(shared->result);
}

} // namespace tessmar
