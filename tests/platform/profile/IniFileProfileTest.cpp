// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/profile/IniFileProfile.h"

#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tessmar {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::string Text(const std::string& path) {
    const auto bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

TEST(IniFileProfilePath, NamedAfterTheProgramInTheUsersConfigurationFolder) {
    EXPECT_EQ(IniFileProfile::PathFor("/usr/bin/tessmar", "/cfg", "/home/a"), "/cfg/tessmar.INI");
    EXPECT_EQ(IniFileProfile::PathFor("/opt/t/tessmar.bin", "", "/home/a"),
              "/home/a/.config/tessmar.INI");
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    EXPECT_EQ(IniFileProfile::PathFor("/usr/bin/tessmar", "rel/cfg", "/home/a"),
              "/home/a/.config/tessmar.INI");
}

TEST(IniFileProfile, WritesCreateFolderFileAndSectionAndKeepOtherContent) {
    TempDir dir;
    IniFileProfile profile(dir / "new/folder/tessmar.INI");
    EXPECT_EQ(profile.ReadString("TMainForm", "A", "fallback"), "fallback");
    ASSERT_TRUE(profile.WriteStrings("TMainForm", {{"A", "1"}, {"B", "x y"}}));
    EXPECT_EQ(Text(dir / "new/folder/tessmar.INI"), "[TMainForm]\nA=1\nB=x y\n");
    EXPECT_EQ(profile.ReadString("tmainform", "b", ""), "x y");

    WriteBytes(dir / "mine.INI", "; von Hand\n[Other]\nK=v\n[TMainForm]\nA=0\n");
    IniFileProfile mine(dir / "mine.INI");
    ASSERT_TRUE(mine.WriteStrings("TMainForm", {{"A", "7"}}));
    EXPECT_EQ(Text(dir / "mine.INI"), "; von Hand\n[Other]\nK=v\n[TMainForm]\nA=7\n");
}

TEST(IniFileProfile, AFileThatCannotBeWrittenStaysAsItWas) {
    TempDir dir;
    // A folder in the file's place can't be replaced, not even by root.
    std::filesystem::create_directory(dir / "tessmar.INI");
    IniFileProfile blocked(dir / "tessmar.INI");
    EXPECT_FALSE(blocked.WriteStrings("TMainForm", {{"A", "1"}}));
    EXPECT_EQ(blocked.ReadString("TMainForm", "A", "d"), "d");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "tessmar.INI"));

    // A file in the folder's place.
    WriteBytes(dir / "plain", "x");
    EXPECT_FALSE(IniFileProfile(dir / "plain/tessmar.INI").WriteStrings("S", {{"A", "1"}}));

    // A key that can't be stored fails the whole write.
    WriteBytes(dir / "keep.INI", "[S]\nA=1\n");
    IniFileProfile keep(dir / "keep.INI");
    EXPECT_FALSE(keep.WriteStrings("S", {{"A", "2"}, {"bad\nkey", "3"}}));
    EXPECT_EQ(Text(dir / "keep.INI"), "[S]\nA=1\n");
    EXPECT_EQ(dir.Entries().size(), 3u); // no temporary file left behind
}

} // namespace
} // namespace tessmar
