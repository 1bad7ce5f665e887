// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/song/Song.h"

#include <optional>
#include <string>

namespace tessmar {

// A song from a file: a standard MIDI file (by its first bytes) or an UltraStar text.
class SongFile {
public:
    static constexpr std::size_t kLargest = 4 << 20; // bytes; a long song has 30 K

    // track: a MIDI file's track (the how-manieth with notes) or a duet's voice, from 1.
    // The song, or nullopt with the reason in German.
    static std::optional<Song> Read(const std::string& path, int track, std::string& error);
};

} // namespace tessmar
