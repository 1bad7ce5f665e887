// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/CaptureLink.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace tessmar {
namespace {

// The capture thread's side of a link, with the window's event loop at hand.
struct Link {
    int argc = 1;
    char name[20] = "capture_link_tests";
    char* argv[2] = {name, nullptr};
    QCoreApplication application{argc, argv};
    int rings = 0;
    std::int32_t detected = -1;
    CaptureLink link{Window()};

    CaptureLink::Window Window() {
        CaptureLink::Window window;
        window.detect = [this](const std::uint8_t*) { return detected; };
        window.blockWaiting = [this] { ++rings; };
        return window;
    }

    // The doorbell's answers that are due.
    int Rings() {
        QCoreApplication::processEvents();
        return std::exchange(rings, 0);
    }
    void Block(std::int32_t note, std::vector<int> y, std::int64_t filledAt) {
        detected = note;
        link.AnalizeFrequenz(nullptr);
        link.ShowWaveform(WaveformTrace{3, 8, std::move(y), filledAt});
    }
};

TEST(CaptureLink, OneRingPerFetchAndAlwaysTheLatestNote) {
    Link l;
    WaveformTrace shown;
    bool arrived = true;
    EXPECT_EQ(l.link.TakeBlock(shown, arrived), -1); // nothing detected yet
    l.link.PostNote(45);
    l.link.PostNote(57); // the window has been told already
    l.link.PostNote(-1);
    EXPECT_EQ(l.Rings(), 1);
    EXPECT_EQ(l.link.TakeBlock(shown, arrived), -1);
    EXPECT_FALSE(arrived);
    l.link.PostNote(12); // fetched: the next result rings again
    EXPECT_EQ(l.Rings(), 1);
    EXPECT_EQ(l.link.TakeBlock(shown, arrived), 12);
    EXPECT_EQ(l.link.TakeBlock(shown, arrived), 12);
    EXPECT_EQ(l.link.ShowNoteNow(30), 30);
    EXPECT_EQ(l.link.TakeBlock(shown, arrived), 30) << "shown now, and kept";
    EXPECT_EQ(l.Rings(), 0);
}

// A block's trace travels with its note; the window draws each trace at most once, and a
// trace dropped at the end of a take leaves its note to be shown.
TEST(CaptureLink, TheTraceGoesWithItsNoteAndArrivesOnce) {
    Link l;
    l.link.SetViewSize({3, 8});
    WaveformTrace shown;
    bool arrived = true;
    l.Block(45, {1, 2, 3}, 77);
    l.Block(46, {4, 5, 6}, 78); // the newest wins
    EXPECT_EQ(l.Rings(), 1);
    EXPECT_EQ(l.link.TakeBlock(shown, arrived), 46);
    EXPECT_TRUE(arrived);
    EXPECT_EQ(shown.y, (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(shown.filledAt, 78);
    EXPECT_EQ(l.link.TakeBlock(shown, arrived), 46);
    EXPECT_FALSE(arrived) << "drawn once";
    EXPECT_EQ(shown.y, (std::vector<int>{4, 5, 6})) << "left as it was";

    l.Block(12, {7, 8, 9}, 79);
    l.link.DiscardTrace();
    EXPECT_EQ(l.link.TakeBlock(shown, arrived), 12);
    EXPECT_FALSE(arrived);
    l.link.PostNote(-1); // a note alone brings no trace
    EXPECT_EQ(l.link.TakeBlock(shown, arrived), -1);
    EXPECT_FALSE(arrived);
}

} // namespace
} // namespace tessmar
