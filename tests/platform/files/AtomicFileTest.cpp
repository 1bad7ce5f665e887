// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/AtomicFile.h"

#include "TempDir.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

// A save killed half way leaves its temporary file, the size of the take; the next start
// takes away such leftovers of the user's own, but not a save that is running now.
TEST(AtomicFile, LeftoversOfAKilledSaveGoAtTheNextStart) {
    test::TempDir dir;
    for (const char* name : {".tessmar-0123456789abcdef", ".tessmar-fedcba9876543210",
                             ".tessmar-notours", "take.wav"}) {
        test::WriteBytes(dir / name, "sound");
    }
    const std::time_t old = std::time(nullptr) - AtomicFile::kLeftoverSeconds - 60;
    for (const char* name : {".tessmar-0123456789abcdef", ".tessmar-notours", "take.wav"}) {
        const timespec times[2] = {{old, 0}, {old, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir / name).c_str(), times, 0), 0);
    }
    EXPECT_EQ(AtomicFile::RemoveLeftovers(dir.path().string()), 1);
    auto left = dir.Entries();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{".tessmar-fedcba9876543210", ".tessmar-notours",
                                              "take.wav"}));
}

} // namespace
} // namespace tessmar
