// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace tessmar {

// Asks the scheduler for time slices of at most `slice` for the calling thread and the
// threads it starts afterwards, so that a woken thread of ours gets the processor soon
// even when other programs keep every core busy: Linux's EEVDF scheduler lets a waking
// thread with the shorter slice go first. Policy and nice value stay as they are; real-
// time or batch threads are left alone. A kernel that has no such request (before 6.12)
// accepts it and goes on as before. False, with errno set, when the kernel refused it.
bool RequestShortTimeSlices(std::chrono::microseconds slice);

} // namespace tessmar
