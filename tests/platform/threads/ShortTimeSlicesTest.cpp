// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/threads/ShortTimeSlices.h"

#include "platform/threads/SchedAttr.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <thread>

namespace tessmar {
namespace {

SchedAttr Attributes() {
    SchedAttr attr;
    EXPECT_TRUE(GetSchedAttr(attr)) << std::strerror(errno);
    return attr;
}

TEST(ShortTimeSlices, KeepPolicyAndNiceAndReachTheThreadsStartedLater) {
    using namespace std::chrono_literals;
    std::thread([] {
        // A thread of its own, niced as a user might nice the program.
        ASSERT_EQ(setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), 3), 0);
        if (!RequestShortTimeSlices(1ms)) {
            ASSERT_TRUE(errno == EPERM || errno == ENOSYS) << std::strerror(errno);
            GTEST_SKIP() << "sched_setattr is not allowed here";
        }
        auto check = [] {
            const SchedAttr attr = Attributes();
            EXPECT_EQ(attr.policy, unsigned(SCHED_OTHER));
            EXPECT_EQ(attr.nice, 3);
            // Kernels before 6.12 accept the request without keeping it, and say nothing.
            if (attr.runtime != 0) {
                EXPECT_EQ(attr.runtime, 1'000'000u);
            }
        };
        check();
        std::thread(check).join();
    }).join();
}

TEST(ShortTimeSlices, LeaveABatchThreadAlone) {
    std::thread([] {
        SchedAttr attr = Attributes();
        attr.policy = SCHED_BATCH;
        if (!SetSchedAttr(attr)) {
            GTEST_SKIP() << "sched_setattr is not allowed here";
        }
        const std::uint64_t slice = Attributes().runtime; // the kernel's own, where it says
        EXPECT_TRUE(RequestShortTimeSlices(std::chrono::microseconds(500)));
        EXPECT_EQ(Attributes().policy, unsigned(SCHED_BATCH));
        EXPECT_EQ(Attributes().runtime, slice);
    }).join();
}

} // namespace
} // namespace tessmar
