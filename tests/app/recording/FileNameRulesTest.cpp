// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/FileNameRules.h"

#include "TempDir.h"
#include "app/AppError.h"
#include "app/recording/DefaultOutputFile.h"

#include <gtest/gtest.h>

namespace tessmar {
namespace {

using test::TempDir;
using test::WriteBytes;

const FileNameRules::Exists kNothingExists = [](const std::string&) { return false; };

TEST(FileNameRules, TheFirstWordOfTheTextUnlessTheWholeTextNamesAFile) {
    EXPECT_EQ(FileNameRules::FirstWord("/my songs/take.wav"), "/my");
    EXPECT_EQ(FileNameRules::FirstWord("  \"/my songs/take.wav\" rest"), "/my songs/take.wav");
    EXPECT_EQ(FileNameRules::FirstWord("/a\"b c\"d e"), "/ab cd");
    EXPECT_EQ(FileNameRules::FirstWord("\t "), "");
    EXPECT_EQ(FileNameRules::FirstWord("\"\""), "");

    TempDir dir;
    const std::string blank = dir / "my take.wav";
    WriteBytes(blank, "RIFF");
    EXPECT_EQ(FileNameRules::FileNameOf(blank, FileNameRules::FileExists), blank);
    EXPECT_EQ(FileNameRules::FileNameOf(dir / "new take.wav", FileNameRules::FileExists),
              dir / "new");
    // A folder is no file.
    EXPECT_EQ(FileNameRules::FileNameOf(dir.path().string() + " x", FileNameRules::FileExists),
              dir.path().string());
}

TEST(FileNameRules, SettingQuotesBlanksAndRejectsInvalidNames) {
    EXPECT_EQ(FileNameRules::TextFor("/a b/out.wav", kNothingExists), "\"/a b/out.wav\"");
    EXPECT_EQ(FileNameRules::TextFor("\"/a b/out.wav\"", kNothingExists), "\"/a b/out.wav\"");
    EXPECT_EQ(FileNameRules::TextFor("/ab/out.wav", kNothingExists), "/ab/out.wav");
    EXPECT_EQ(FileNameRules::TextFor("", kNothingExists), "");

    for (const std::string bad : {"/a[1].wav", "a<b", "a>b", "a|b", "\"\"", "  "}) {
        try {
            FileNameRules::TextFor(bad, kNothingExists);
            ADD_FAILURE() << bad;
        } catch (const AppError& e) {
            EXPECT_EQ(e.what(), "Ungültiger Dateiname - " + bad);
        }
    }
    // Only the first word counts: a bracket after a blank is not part of the name.
    EXPECT_EQ(FileNameRules::TextFor("a.wav [x]", kNothingExists), "\"a.wav [x]\"");
}

TEST(FileNameRules, BrowseStartsInTheNamesFolderWithItsNamePreselected) {
    TempDir dir;
    const std::string folder = dir.path().string();
    auto start = FileNameRules::BrowseStartFor(
        "\"" + dir / "my take.wav\"", FileNameRules::FileExists, FileNameRules::FolderExists);
    EXPECT_EQ(start.folder, folder);
    EXPECT_EQ(start.preselected, "my take.wav");

    start = FileNameRules::BrowseStartFor("/no/such/folder/a.wav", FileNameRules::FileExists,
                                          FileNameRules::FolderExists);
    EXPECT_EQ(start.folder, "");
    EXPECT_EQ(start.preselected, "a.wav");

    start = FileNameRules::BrowseStartFor(dir / "a|b.wav", FileNameRules::FileExists,
                                          FileNameRules::FolderExists);
    EXPECT_EQ(start.folder, folder);
    EXPECT_EQ(start.preselected, ""); // not a valid name
    EXPECT_EQ(FileNameRules::BrowseStartFor(dir / "", FileNameRules::FileExists,
                                            FileNameRules::FolderExists)
                  .preselected,
              ""); // no name part

    EXPECT_EQ(FileNameRules::QuotedPath("/a b/c.wav"), "\"/a b/c.wav\"");
    EXPECT_EQ(FileNameRules::QuotedPath("/ab/c.wav"), "/ab/c.wav");
}

TEST(AppError, FullStopAfterLettersDigitsAndAccentedLettersOnly) {
    EXPECT_EQ(AppError::WithFullStop("Ungültiger Dateiname - a[1]"),
              "Ungültiger Dateiname - a[1].");
    EXPECT_EQ(AppError::WithFullStop("Fehler 7"), "Fehler 7.");
    EXPECT_EQ(AppError::WithFullStop("Größe"), "Größe.");
    EXPECT_EQ(AppError::WithFullStop("Schon da."), "Schon da.");
    EXPECT_EQ(AppError::WithFullStop("Wirklich?"), "Wirklich?."); // '?' lies above '.'
    EXPECT_EQ(AppError::WithFullStop("a-"), "a-");
    EXPECT_EQ(AppError::WithFullStop("(x)"), "(x)");
    EXPECT_EQ(AppError::WithFullStop(""), "");
}

TEST(DefaultOutputFile, BesideTheProgramOrInTheHomeFolderWhenThatIsNotWritable) {
    const auto yes = [](const std::string&) { return true; };
    const auto no = [](const std::string&) { return false; };
    EXPECT_EQ(DefaultOutputFile::For("/opt/tessmar/tessmar", "/home/a", yes),
              "/opt/tessmar/out.wav");
    EXPECT_EQ(DefaultOutputFile::For("/opt/tessmar/tessmar", "/home/a", no), "/home/a/out.wav");
    EXPECT_EQ(DefaultOutputFile::For("/opt/tessmar/tessmar", "/home/a/", no), "/home/a/out.wav");
    EXPECT_EQ(DefaultOutputFile::For("tessmar", "/home/a", yes), "/home/a/out.wav");
    EXPECT_EQ(DefaultOutputFile::For("/tessmar", "/home/a", yes), "/out.wav");

    TempDir dir;
    EXPECT_TRUE(DefaultOutputFile::IsWritableFolder(dir.path().string()));
    EXPECT_FALSE(DefaultOutputFile::IsWritableFolder(dir / "missing"));
}

} // namespace
} // namespace tessmar
