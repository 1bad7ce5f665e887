// SPDX-License-Identifier: GPL-3.0-or-later
// The karaoke song reader on the format's corner cases, and a song's notes as targets.
#include "practice/song/UltraStarFile.h"

#include <gtest/gtest.h>

namespace tessmar {
namespace {

TEST(UltraStarFile, ReadsTheFormatsCornerCases) {
    // A byte-order mark, CRLF, a decimal comma, relative beats, a duet, every kind of note,
    // a Windows-1252 syllable, an audio path out of the song's folder, text after "E".
    const std::string text =
        "\xef\xbb\xbf#TITLE:Duett\r\n#bpm:37,5\r\n#GAP:1000\r\n"
        "#RELATIVE:YES\r\n#MP3:a.mp3\r\n#AUDIO:b.ogg\r\n"
        "#VOCALS:../../etc/passwd\r\nP1\r\n: 0 4 0 Hal\r\n* 4 4 12 lo \r\n"
        "- 10 12\r\n: 2 2 -3 du\r\nP2\r\nF 0 4 5 ~\r\nR 4 2 0 ja\r\nE\r\nX\r\n";
    std::string error;
    const auto song = UltraStarFile::Parse(text, "lieder", error);
    ASSERT_TRUE(song) << error;
    EXPECT_EQ(song->title, "Duett");
    EXPECT_EQ(song->audio, "lieder/b.ogg") << "#AUDIO goes before #MP3";
    EXPECT_EQ(song->vocals, "") << "nothing outside the song's folder";
    EXPECT_EQ(song->voices, 2);
    ASSERT_EQ(song->notes.size(), 5u);
    const double beat = 60.0 / (37.5 * 4); // 0.4 s
    EXPECT_DOUBLE_EQ(song->notes[0].start, 1.0);
    EXPECT_EQ(song->notes[0].note, 36) << "pitch 0 is C-3, MIDI 60";
    EXPECT_EQ(song->notes[1].syllable, "lo ") << "a syllable keeps its spaces";
    EXPECT_TRUE(song->notes[1].phraseEnds);
    EXPECT_DOUBLE_EQ(song->notes[2].start, 1.0 + 14 * beat) << "relative: 12 after the line";
    EXPECT_DOUBLE_EQ(song->notes[3].start, 1.0) << "each voice counts from its start";

    const auto one = song->Targets(1, 2, 0.5);
    ASSERT_EQ(one.size(), 3u);
    EXPECT_EQ(one[1].note, 50);
    EXPECT_EQ(one[1].kind, TargetNote::Kind::Golden);
    EXPECT_DOUBLE_EQ(one[0].start, 1.5);
    const auto two = song->Targets(2, 0, 0.0);
    ASSERT_EQ(two.size(), 1u) << "freestyle is not scored";
    EXPECT_EQ(two[0].kind, TargetNote::Kind::Rap);

    EXPECT_EQ(
        UltraStarFile::Parse("#MP3:Mr. X.. - Live.mp3\n#BPM:100\n: 0 1 0 a\n", "", error)->audio,
        "Mr. X.. - Live.mp3");
    ASSERT_TRUE(UltraStarFile::Parse("#BPM:100\n: 0 1 0 Gr\xfc\xdf\n", "", error)) << error;
    EXPECT_EQ(UltraStarFile::Parse("#BPM:100\n: 0 1 0 Gr\xfc\xdf\n", "", error)->notes[0].syllable,
              "Grüß")
        << "Windows-1252";

    for (const auto& [bad, told] :
         {std::pair<std::string, std::string>{"#BPM:120\n: 0 4 0 a\n: 8 x 2 b\n", "Zeile 3 "},
          {": 0 4 0 a\n", "erst nach #BPM"},
          {"#BPM:0\n", "#BPM"},
          {"#BPM:x\xc3\xa4\n", "„#BPM:x\xc3\xa4“"},
          {"#BPM:100\n: 0 4 999 a\n", "Tonhöhe 999"},
          {"#BPM:100\n: 0 -4 0 a\n", "kürzer"},
          {"#BPM:100\nP3\n", "P1 und P2"},
          {std::string("#BPM:100\n: 0 4 0 a\0", 19), "Nullbyte"},
          {"\xff\xfe#\0B\0", "UTF-16"},
          {"#BPM:100\n", "keine Noten"}}) {
        error.clear();
        EXPECT_FALSE(UltraStarFile::Parse(bad, "", error)) << bad;
        EXPECT_NE(error.find(told), std::string::npos) << error;
    }
}

} // namespace
} // namespace tessmar
