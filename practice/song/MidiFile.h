// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/song/Song.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessmar {

// Reads a melody from a standard MIDI file (format 0 or 1): the notes of one track, timed
// by the file's tempo map (or its SMPTE frames), from the file's time 0. Where notes sound
// together the highest is the melody's. A lyric event at a note's start is its syllable.
class MidiFile {
public:
    static constexpr std::size_t kMostEvents = 1'000'000;
    static constexpr std::size_t kMostNotes = 20000;

    // Track: the how-manieth of the tracks that hold notes, from 1. The song, or nullopt
    // with the reason in German, naming the byte where the file is broken.
    static std::optional<Song> Parse(std::string_view bytes, int track, std::string& error);
    // Every track that holds notes, in that order, from one reading of the file: each its
    // song or nullopt where it can't be sung (error: the first such reason). Empty, with the
    // reason, for a broken file.
    static std::vector<std::optional<Song>> Each(std::string_view bytes, std::string& error);

private:
    // wanted: a track as for Parse; 0 for each (into each).
    static std::optional<Song> Read(std::string_view bytes, int wanted, std::string& error,
                                    std::vector<std::optional<Song>>* each);
};

} // namespace tessmar
