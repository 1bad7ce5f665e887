// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FileNameLock.h"

#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace tessmar {
namespace {

using Result = FileNameLock::Result;

// One name however it is spelled, held by one take at a time, and the file itself never
// touched; the lock files stay in their own folder.
TEST(FileNameLock, OneTakePerNameWithoutTouchingTheFile) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "locks");
    const std::string file = dir / "take.wav";
    FileNameLock first(dir / "locks"), second(dir / "locks");
    EXPECT_EQ(first.Acquire(file), Result::Held);
    EXPECT_EQ(first.Acquire(file), Result::Held);
    EXPECT_EQ(second.Acquire(dir / "./take.wav"), Result::TakenByOther);
    EXPECT_EQ(second.Acquire(dir / "other.wav"), Result::Held);
    first.Release();
    EXPECT_EQ(second.Acquire(file), Result::Held) << "and other.wav is given up";
    EXPECT_EQ(first.Acquire(dir / "other.wav"), Result::Held);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(FileNameLock("").Acquire(file), Result::Unavailable);
}

// Without a runtime folder, the lock files go to the user's private folder in $TMPDIR.
TEST(FileNameLock, WithoutARuntimeFolderInTheTemporaryFolder) {
    test::TempDir dir;
    const std::string folder = dir / ("tessmar-" + std::to_string(::geteuid()));
    EXPECT_EXIT(
        {
            ::unsetenv("XDG_RUNTIME_DIR");
            ::setenv("TMPDIR", dir.path().c_str(), 1);
            std::cerr << FileNameLock::RuntimeFolder();
            std::exit(0);
        },
        testing::ExitedWithCode(0), folder);
    struct stat st {};
    EXPECT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

} // namespace
} // namespace tessmar
