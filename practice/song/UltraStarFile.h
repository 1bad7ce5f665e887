// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/song/Song.h"

#include <optional>
#include <string>
#include <string_view>

namespace tessmar {

// Reads a karaoke song in the UltraStar text format: the tags (#TITLE, #ARTIST, #BPM,
// #GAP, #RELATIVE, #MP3, #AUDIO, #INSTRUMENTAL, #VOCALS), the notes (":" normal, "*"
// golden, "F" freestyle, "R" and "G" rap), "-" phrase ends, a duet's "P1"/"P2" and an
// optional "E". A beat lasts 60 / (BPM × 4) s from #GAP ms on; pitch 0 is C-3 (MIDI 60).
// UTF-8, with or without a byte-order mark, or Windows-1252.
class UltraStarFile {
public:
    static constexpr std::size_t kLargest = 4 << 20; // bytes; a long song has 30 K
    static constexpr std::size_t kMostNotes = 20000;

    // The song from the file's bytes, or nullopt with the reason in German, naming the line;
    // audio paths are taken as beside `folder`.
    static std::optional<Song> Parse(std::string_view bytes, const std::string& folder,
                                     std::string& error);
};

} // namespace tessmar
