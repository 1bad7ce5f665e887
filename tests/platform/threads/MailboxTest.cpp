// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/threads/Mailbox.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace tessmar {
namespace {

TEST(Mailbox, OneRingPerTakeAndTheNewestWins) {
    Mailbox<int> box(-1);
    const auto post = [&box](int value) { return box.Post([value](int& v) { v = value; }); };
    int taken = 0;
    EXPECT_TRUE(post(45));
    EXPECT_FALSE(post(57)) << "the reader has been rung already";
    box.Edit([](int& v) { v += 1; });
    box.Take([&taken](int& v) { taken = v; });
    EXPECT_EQ(taken, 58);
    box.Edit([](int& v) { v = 0; });
    EXPECT_TRUE(post(12)) << "taken: the next post rings again, an edit does not count";
}

// The writer appends, the reader swaps its emptied batch in: every value arrives once and
// in order, the reader is rung once per take at most, and only the two buffers reserved at
// the start are ever used.
TEST(Mailbox, BatchesArriveWholeAndInOrderAcrossThreads) {
    constexpr int kValues = 20000;
    std::vector<int> reading;
    reading.reserve(kValues);
    std::vector<int> writing;
    writing.reserve(kValues);
    const int* const buffers[] = {reading.data(), writing.data()};
    Mailbox<std::vector<int>> box(std::move(writing));
    int rings = 0;
    std::thread writer([&] {
        for (int i = 0; i < kValues; ++i) {
            rings += box.Post([i](std::vector<int>& waiting) { waiting.push_back(i); });
        }
    });
    int next = 0, takes = 0, batches = 0;
    while (next < kValues) {
        box.Take([&reading](std::vector<int>& waiting) {
            std::swap(reading, waiting);
            waiting.clear();
        });
        ++takes;
        batches += !reading.empty();
        for (const int value : reading) {
            ASSERT_EQ(value, next++);
        }
        ASSERT_TRUE(reading.data() == buffers[0] || reading.data() == buffers[1]);
        std::this_thread::yield();
    }
    writer.join();
    EXPECT_LE(batches, rings);
    EXPECT_LE(rings, takes + 1);
}

} // namespace
} // namespace tessmar
