// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/WaveformTrace.h"

#include <cstdint>
#include <mutex>

namespace tessmar {

// Hands the latest detected note, and with it the latest waveform trace, from the capture
// thread to the window's thread. The capture side never waits for the window: it only
// stores its result under a short lock, and learns whether the window has already been
// told to fetch one. Once both sides' traces have room for the view's width, passing a
// trace allocates nothing: the window swaps its drawn trace for the waiting one.
class NoteMailbox {
public:
    // Stores a note. True when no fetch is pending, i.e. the window must be notified.
    bool Post(std::int32_t note);
    // Stores a block's note and trace together; true as above.
    bool Post(std::int32_t note, const WaveformTrace& trace);
    // The latest note; clears the pending mark.
    std::int32_t Take();
    // The same, and when a trace came since the last fetch, swaps it into `trace`.
    std::int32_t Take(WaveformTrace& trace, bool& traceArrived);
    // Window thread: a trace still waiting is dropped (its note stays).
    void DropTrace();
    // Window thread: room for traces of `width` points.
    void Reserve(int width);

private:
    std::mutex mutex_;
    std::int32_t latest_ = -1;
    bool pending_ = false;
    WaveformTrace trace_;
    bool traceWaiting_ = false;
};

} // namespace tessmar
