// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/threads/TThread.h"

#include "platform/threads/MessageQueue.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace tessmar {
namespace {

using namespace std::chrono_literals;

// Collects the messages of its queue until terminated, like the capture thread.
class Collector : public TThread {
public:
    explicit Collector(std::vector<std::uint32_t>& seen) : seen_(seen) {}

    // Waits (hang guard: 10 s) until n messages were taken.
    void WaitForTaken(std::size_t n) const {
        for (int i = 0; i < 10000 && taken_.load() < n; ++i) {
            std::this_thread::sleep_for(1ms);
        }
    }

protected:
    void Execute() override {
        while (!Terminated()) {
            ThreadMessage message;
            if (GetMessage(&message) && !Terminated() && message.message != WM_NULL) {
                seen_.push_back(message.message);
                ++taken_;
            }
        }
    }

private:
    std::vector<std::uint32_t>& seen_; // read by the test only once the thread ended
    std::atomic<std::size_t> taken_{0};
};

TEST(TThread, MessagesPostedBeforeAndAfterResumeArriveInOrder) {
    std::vector<std::uint32_t> seen;
    auto* thread = new Collector(seen);
    thread->SetFreeOnTerminate(true);
    const ThreadId id = thread->ThreadID();
    const auto finished = thread->Finished();
    ASSERT_TRUE(PostThreadMessage(id, 0x401, 0, 0)) << "a suspended thread has its queue";
    thread->Resume();
    ASSERT_TRUE(PostThreadMessage(id, 0x402, 0, 0));
    ASSERT_TRUE(PostThreadMessage(id, WM_QUIT, 0, 0)) << "quit only restarts the wait";
    ASSERT_TRUE(PostThreadMessage(id, 0x403, 0, 0));
    thread->WaitForTaken(3); // before it is told to end
    thread->Terminate();
    ASSERT_EQ(finished.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{0x401, 0x402, 0x403}));
    EXPECT_FALSE(PostThreadMessage(id, 0x404, 0, 0)) << "the released thread's queue is gone";
}

TEST(TThread, TerminateWakesAWaitingThreadThatNeverGotAMessage) {
    std::vector<std::uint32_t> seen;
    auto* thread = new Collector(seen);
    thread->SetFreeOnTerminate(true);
    const auto finished = thread->Finished();
    thread->Resume();
    thread->Terminate();
    EXPECT_EQ(finished.wait_for(10s), std::future_status::ready);
    EXPECT_TRUE(seen.empty());
}

TEST(TThread, AnOwnedThreadEndsOnTerminateAndWaitFor) {
    std::vector<std::uint32_t> seen;
    Collector thread(seen);
    thread.Resume();
    ASSERT_TRUE(PostThreadMessage(thread.ThreadID(), 0x401, 0, 0));
    thread.WaitForTaken(1);
    thread.Terminate();
    thread.WaitFor();
    EXPECT_EQ(seen, std::vector<std::uint32_t>{0x401});
}

class Failing : public TThread {
protected:
    void Execute() override { throw std::runtime_error("body failed"); }
};

TEST(TThread, ABodyThatFailsEarlyStaysUntilItsOwnerLetsGo) {
    auto* thread = new Failing;
    thread->SetFreeOnTerminate(true);
    const auto finished = thread->Finished();
    thread->Resume();
    std::this_thread::sleep_for(20ms); // time to fail; a release now would be premature
    EXPECT_EQ(finished.wait_for(0s), std::future_status::timeout);
    thread->Terminate(); // the owner's last touch: must still find the object
    EXPECT_EQ(finished.wait_for(10s), std::future_status::ready);
}

TEST(ThreadMessages, WithoutAQueue) {
    EXPECT_FALSE(PostThreadMessage(0, 0x401, 0, 0));
    EXPECT_FALSE(PostThreadMessage(~ThreadId(0), 0x401, 0, 0));
    ThreadMessage message;
    EXPECT_FALSE(GetMessage(&message)) << "a thread without a queue is told to quit";
    EXPECT_EQ(message.message, WM_QUIT);
}

} // namespace
} // namespace tessmar
