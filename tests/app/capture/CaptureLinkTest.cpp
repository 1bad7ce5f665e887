// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/CaptureLink.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace tessmar {
namespace {

// A block's note and trace go to the window with one ring per fetch; the latest note is
// shown until a newer one comes, each trace is drawn at most once, and a trace dropped at
// the end of a take leaves its note to be shown.
TEST(CaptureLink, TheLatestNoteAndEachTraceOnceWithOneRingPerFetch) {
    int argc = 1;
    char name[] = "capture_link_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    int rings = 0;
    std::int32_t detected = -1;
    CaptureLink::Window window;
    window.detect = [&detected](const std::uint8_t*) { return detected; };
    window.blockWaiting = [&rings] { ++rings; };
    CaptureLink link(window);
    const auto answered = [&rings] {
        QCoreApplication::processEvents();
        return std::exchange(rings, 0);
    };
    const auto block = [&](std::int32_t note, std::vector<int> y, std::int64_t filledAt) {
        detected = note;
        link.AnalizeFrequenz(nullptr);
        link.ShowWaveform(WaveformTrace{3, 8, std::move(y), filledAt});
    };
    link.SetViewSize({3, 8});
    WaveformTrace shown;
    bool arrived = true;
    EXPECT_EQ(link.TakeBlock(shown, arrived), -1); // nothing detected yet
    EXPECT_FALSE(arrived);
    link.PostNote(45);
    block(46, {1, 2, 3}, 77);
    block(47, {4, 5, 6}, 78); // the newest wins
    EXPECT_EQ(answered(), 1);
    EXPECT_EQ(link.TakeBlock(shown, arrived), 47);
    EXPECT_TRUE(arrived);
    EXPECT_EQ(shown.y, (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(shown.filledAt, 78);
    EXPECT_EQ(link.TakeBlock(shown, arrived), 47);
    EXPECT_FALSE(arrived) << "drawn once";
    EXPECT_EQ(shown.y, (std::vector<int>{4, 5, 6})) << "left as it was";

    block(12, {7, 8, 9}, 79); // fetched: rings again
    EXPECT_EQ(answered(), 1);
    link.DiscardTrace();
    EXPECT_EQ(link.TakeBlock(shown, arrived), 12);
    EXPECT_FALSE(arrived);
    EXPECT_EQ(link.ShowNoteNow(-1), -1); // a note alone brings no trace
    EXPECT_EQ(link.TakeBlock(shown, arrived), -1) << "shown now, and kept";
    EXPECT_FALSE(arrived);
}

} // namespace
} // namespace tessmar
