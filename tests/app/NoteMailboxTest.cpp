#include "app/NoteMailbox.h"

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

} // namespace
} // namespace tessmar
