// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/NoteMailbox.h"

#include <gtest/gtest.h>

namespace tessmar {
namespace {

TEST(NoteMailbox, OneNotificationPerFetchAndAlwaysTheLatestNote) {
    NoteMailbox mailbox;
    EXPECT_EQ(mailbox.Take(), -1); // nothing detected yet
    EXPECT_TRUE(mailbox.Post(45));
    EXPECT_FALSE(mailbox.Post(57)); // the window has been told already
    EXPECT_FALSE(mailbox.Post(-1));
    EXPECT_EQ(mailbox.Take(), -1);
    EXPECT_TRUE(mailbox.Post(12)); // fetched: the next result needs a new notification
    EXPECT_EQ(mailbox.Take(), 12);
    EXPECT_EQ(mailbox.Take(), 12);
}

// A block's trace travels with its note; the window draws each trace at most once, and a
// trace dropped at the end of a take leaves its note to be shown.
TEST(NoteMailbox, TheTraceGoesWithItsNoteAndArrivesOnce) {
    NoteMailbox mailbox;
    mailbox.Reserve(3);
    WaveformTrace shown;
    bool arrived = true;
    EXPECT_EQ(mailbox.Take(shown, arrived), -1);
    EXPECT_FALSE(arrived);
    EXPECT_TRUE(mailbox.Post(45, WaveformTrace{3, 8, {1, 2, 3}, 77}));
    EXPECT_FALSE(mailbox.Post(46, WaveformTrace{3, 8, {4, 5, 6}, 78})); // the newest wins
    EXPECT_EQ(mailbox.Take(shown, arrived), 46);
    EXPECT_TRUE(arrived);
    EXPECT_EQ(shown.y, (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(shown.filledAt, 78);
    EXPECT_EQ(mailbox.Take(shown, arrived), 46);
    EXPECT_FALSE(arrived) << "drawn once";
    EXPECT_EQ(shown.y, (std::vector<int>{4, 5, 6})) << "left as it was";

    EXPECT_TRUE(mailbox.Post(12, WaveformTrace{3, 8, {7, 8, 9}, 79}));
    mailbox.DropTrace();
    EXPECT_EQ(mailbox.Take(shown, arrived), 12);
    EXPECT_FALSE(arrived);
    EXPECT_TRUE(mailbox.Post(-1)); // a note alone brings no trace
    EXPECT_EQ(mailbox.Take(shown, arrived), -1);
    EXPECT_FALSE(arrived);
}

} // namespace
} // namespace tessmar
