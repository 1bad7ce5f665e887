#pragma once

#include <cstdint>
#include <mutex>

namespace tessmar {

// Hands the latest detected note from the capture thread to the window's thread. The
// capture side never waits for the window: it only stores its result under a short lock,
// and learns whether the window has already been told to fetch one.
class NoteMailbox {
public:
    // Stores a result. True when no fetch is pending, i.e. the window must be notified.
    bool Post(std::int32_t note);
    // The latest result; clears the pending mark.
    std::int32_t Take();

private:
    std::mutex mutex_;
    std::int32_t latest_ = -1;
    bool pending_ = false;
};

} // namespace tessmar
