// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace tessmar {

// Per-thread message queues, as the capture thread and the recording device use them: a
// device posts to a thread by its identifier; the thread takes its messages in order.

using ThreadId = std::uintptr_t; // 0: no thread

inline constexpr std::uint32_t WM_NULL = 0x0000; // wakes a waiting thread, carries nothing
inline constexpr std::uint32_t WM_QUIT = 0x0012;

struct ThreadMessage {
    std::uint32_t message = WM_NULL;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class MessageQueue;

// Queues a message for the thread; false when no such thread has a queue (any more).
bool PostThreadMessage(ThreadId thread, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam);

// Waits for the next message of the calling thread's queue. Returns false for WM_QUIT,
// true for any other message. A thread without a queue of its own gets WM_QUIT at once.
bool GetMessage(ThreadMessage* message);

} // namespace tessmar
