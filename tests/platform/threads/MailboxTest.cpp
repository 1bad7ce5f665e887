// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/threads/Mailbox.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace tessmar {
namespace {

// The writer appends, the reader swaps its emptied batch in: every value arrives once and
// in order, the reader is rung once per take at most, and only the two buffers reserved at
// the start are ever used.
TEST(Mailbox, BatchesArriveWholeInOrderAndRingOncePerTake) {
    constexpr int kValues = 20000;
    std::vector<int> reading, writing;
    reading.reserve(kValues);
    writing.reserve(kValues);
    const int* const buffers[] = {reading.data(), writing.data()};
    Mailbox<std::vector<int>> box(std::move(writing));
    const auto post = [&box](int i) {
        return box.Post([i](auto& waiting) { waiting.push_back(i); });
    };
    EXPECT_TRUE(post(0));
    EXPECT_FALSE(post(1)) << "rung already";
    box.Edit([](auto&) {}); // tells no one
    int rings = 1;
    std::thread writer([&] {
        for (int i = 2; i < kValues; ++i) {
            rings += post(i);
        }
    });
    int next = 0, takes = 0, batches = 0;
    while (next < kValues) {
        box.Take([&reading](auto& waiting) {
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
