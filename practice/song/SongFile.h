// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/song/Song.h"
#include "practice/song/UltraStarFile.h"

#include <optional>
#include <string>
#include <vector>

namespace tessmar {

// A song from a file: a standard MIDI file (by its first bytes) or an UltraStar text.
class SongFile {
public:
    static constexpr std::size_t kLargest = UltraStarFile::kLargest; // MIDI files too

    // track: a MIDI file's track (the how-manieth with notes) or a duet's voice, from 1.
    // The song, or nullopt with the reason in German.
    static std::optional<Song> Read(const std::string& path, int track, std::string& error);

    // What there is to sing in a file, for the singer to choose from: each duet voice or
    // MIDI track with notes to score, by its number for Read, and how it is named
    // ("Stimme 2", "3: „Melodie“, 120 Noten"). Empty with the reason where none is.
    struct Part {
        int track;
        std::string label;
    };
    static std::vector<Part> Parts(const std::string& path, std::string& error);

private:
    static std::optional<std::string> Bytes(const std::string& path, std::string& error);
    static std::optional<Song> Parse(const std::string& bytes, const std::string& path, int track,
                                     std::string& error);
};

} // namespace tessmar
