// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <sys/syscall.h>
#include <unistd.h>

namespace tessmar {

// The kernel's struct sched_attr in its first version (56 bytes). The kernel's own header
// clashes with glibc's <sched.h>, and glibc has neither the struct nor the calls before
// 2.41.
struct SchedAttr {
    std::uint32_t size = sizeof(SchedAttr);
    std::uint32_t policy = 0;
    std::uint64_t flags = 0;
    std::int32_t nice = 0;
    std::uint32_t priority = 0;
    std::uint64_t runtime = 0; // for a normal thread, the time slice asked for (ns)
    std::uint64_t deadline = 0;
    std::uint64_t period = 0;
    std::uint32_t utilMin = 0;
    std::uint32_t utilMax = 0;
};
static_assert(sizeof(SchedAttr) == 56);

inline constexpr std::uint64_t kSchedResetOnFork = 0x01;

// Of the calling thread; false, with errno set, when the kernel refuses.
inline bool GetSchedAttr(SchedAttr& attr) {
    return syscall(SYS_sched_getattr, 0, &attr, sizeof attr, 0) == 0;
}
inline bool SetSchedAttr(SchedAttr attr) {
    attr.size = sizeof attr;
    return syscall(SYS_sched_setattr, 0, &attr, 0) == 0;
}

} // namespace tessmar
