// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/threads/ShortTimeSlices.h"

#include "platform/threads/SchedAttr.h"

#include <sched.h>

namespace tessmar {

bool RequestShortTimeSlices(std::chrono::microseconds slice) {
    SchedAttr attr;
    if (!GetSchedAttr(attr)) {
        return false;
    }
    if (attr.policy != SCHED_OTHER) {
        return true; // not ours to change
    }
    attr.flags &= kSchedResetOnFork; // what else getattr reports isn't ours to set
    attr.runtime = static_cast<std::uint64_t>(std::chrono::nanoseconds(slice).count());
    return SetSchedAttr(attr);
}

} // namespace tessmar
