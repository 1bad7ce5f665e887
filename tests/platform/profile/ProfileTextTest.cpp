// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/profile/ProfileText.h"

#include <gtest/gtest.h>

namespace tessmar {
namespace {

const char* const kFile = "; Kommentar\n"
                          "[Other]\n"
                          "Left=1\n"
                          "\n"
                          "[ tmainform ]\n"
                          "  NormPos =  \"10,20,30,40\"  \n"
                          "; Left=99\n"
                          "Left=5\n"
                          "Left=6\n"
                          "[TMainForm]\n"
                          "Late=1\n";

TEST(ProfileTextRead, NamesMatchWithoutCaseAndBlanksValuesAreTrimmedAndUnquoted) {
    EXPECT_EQ(ProfileText::Read(kFile, "TMainForm", "normpos"), "10,20,30,40");
    EXPECT_EQ(ProfileText::Read(kFile, "TMainForm", "Left"), "5"); // not the comment, first wins
    EXPECT_EQ(ProfileText::Read(kFile, "Other", "Left"), "1");
    EXPECT_EQ(ProfileText::Read(kFile, "TMainForm", "Late"), std::nullopt); // second section
    EXPECT_EQ(ProfileText::Read(kFile, "TMainForm", "Missing"), std::nullopt);
    EXPECT_EQ(ProfileText::Read(kFile, "Missing", "Left"), std::nullopt);
    EXPECT_EQ(ProfileText::Read("", "TMainForm", "Left"), std::nullopt);
    EXPECT_EQ(ProfileText::Read("[S]\r\nK=v a\r\nE=\r\n", "S", "K"), "v a");
    EXPECT_EQ(ProfileText::Read("[S]\r\nK=v a\r\nE=\r\n", "S", "E"), "");
}

TEST(ProfileTextWrite, CreatesFileAndSectionAndKeepsEverythingElse) {
    EXPECT_EQ(ProfileText::Write("", "TMainForm", "A", "1"), "[TMainForm]\nA=1\n");

    // A missing section is appended after a blank line, also to a file without final break.
    EXPECT_EQ(ProfileText::Write("; mine\n[Other]\nX=1", "TMainForm", "A", "1"),
              "; mine\n[Other]\nX=1\n\n[TMainForm]\nA=1\n");

    // A new key goes after the section's last entry, before the blank line that ends it.
    EXPECT_EQ(ProfileText::Write("[TMainForm]\nA=1\n\n[Other]\nX=1\n", "TMainForm", "B", "2"),
              "[TMainForm]\nA=1\nB=2\n\n[Other]\nX=1\n");

    // An existing key is rewritten in place; its neighbours and comments stay.
    EXPECT_EQ(ProfileText::Write("[tmainform]\n; c\n a = old \nB=2\n", "TMainForm", "A", "new"),
              "[tmainform]\n; c\nA=new\nB=2\n");

    // New lines follow the file's own line breaks.
    EXPECT_EQ(ProfileText::Write("[S]\r\nA=1\r\n", "S", "B", "2"), "[S]\r\nA=1\r\nB=2\r\n");
}

TEST(ProfileTextWrite, RefusesWhatCannotBeStoredInALine) {
    EXPECT_EQ(ProfileText::Write("", "S", "", "v"), std::nullopt);
    EXPECT_EQ(ProfileText::Write("", "S", "a=b", "v"), std::nullopt);
    EXPECT_EQ(ProfileText::Write("", "S", "[x", "v"), std::nullopt);
    EXPECT_EQ(ProfileText::Write("", "S", "k", "two\nlines"), std::nullopt);
    EXPECT_EQ(ProfileText::Write("", "S]", "k", "v"), std::nullopt);
    EXPECT_EQ(ProfileText::Write("", " ", "k", "v"), std::nullopt);
}

} // namespace
} // namespace tessmar
