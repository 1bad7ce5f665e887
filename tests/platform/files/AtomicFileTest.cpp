// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/AtomicFile.h"

#include "TempDir.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace tessmar {
namespace {

// Another take gets the name between Open's check and the rename: Commit leaves it to
// that take, fails with EEXIST and leaves nothing behind.
TEST(AtomicFile, ANewFileNeverReplacesWhatAppearedAtItsName) {
    test::TempDir dir;
    const std::string target = dir / "take.wav";
    AtomicFile file(target);
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("ours", 4));
    test::WriteBytes(target, "theirs");
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(file.error(), EEXIST);
    const auto content = test::ReadBytes(target);
    EXPECT_EQ(std::string(content.begin(), content.end()), "theirs");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"take.wav"});
}

} // namespace
} // namespace tessmar
