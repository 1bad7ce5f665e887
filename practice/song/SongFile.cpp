// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/song/SongFile.h"

#include "platform/system/RegularFile.h"
#include "platform/system/SystemErrorText.h"
#include "practice/song/MidiFile.h"
#include "practice/song/UltraStarFile.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace tessmar {

std::optional<Song> SongFile::Read(const std::string& path, int track, std::string& error) {
    const std::optional<std::string> bytes = Bytes(path, error);
    return bytes ? Parse(*bytes, path, track, error) : std::nullopt;
}

std::vector<SongFile::Part> SongFile::Parts(const std::string& path, std::string& error) {
    const std::optional<std::string> bytes = Bytes(path, error);
    if (!bytes) {
        return {};
    }
    // Read once: a MIDI file's tracks each, a duet's voices from the one song.
    std::vector<std::optional<Song>> songs;
    if (bytes->starts_with("MThd")) {
        songs = MidiFile::Each(*bytes, error);
    } else if (auto song = Parse(*bytes, path, 1, error)) {
        songs.assign(std::size_t(song->voices), song);
    }
    std::vector<Part> parts;
    for (std::size_t i = 0; i < songs.size(); ++i) {
        const int track = int(i + 1);
        const std::optional<Song>& song = songs[i];
        if (song && !song->Targets(song->voices > 1 ? track : 1, 0, 0.0).empty()) {
            const std::string& singer = song->singers[std::size_t(std::min(track, 2) - 1)];
            parts.push_back({track, song->voices > 1
                                        ? "Stimme " + std::to_string(track) +
                                              (singer.empty() ? "" : " (" + singer + ")")
                                        : std::to_string(track) + ": „" + song->part + "“, " +
                                              std::to_string(song->notes.size()) + " Noten"});
        }
    }
    if (parts.empty() && error.empty()) {
        error = "Keine Stimme hat Noten, die bewertet werden";
    }
    return parts;
}

std::optional<std::string> SongFile::Bytes(const std::string& path, std::string& error) {
    // A pipe or a device named as a song is refused, not waited on.
    int code = 0;
    const UniqueFd fd = OpenRegularFile(path, code);
    if (!fd) {
        error = SystemErrorText(code);
        return std::nullopt;
    }
    std::string bytes(kLargest + 1, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(fd.get(), bytes.data() + got, bytes.size() - got);
        if (n == 0) {
            break;
        }
        if (n < 0 && errno != EINTR) {
            error = SystemErrorText(errno);
            return std::nullopt;
        }
        got += std::size_t(std::max<ssize_t>(n, 0));
    }
    bytes.resize(got);
    if (got > kLargest) {
        error = "Die Datei ist größer als 4 MB und damit kein Lied";
        return std::nullopt;
    }
    return bytes;
}

std::optional<Song> SongFile::Parse(const std::string& bytes, const std::string& path, int track,
                                    std::string& error) {
    if (bytes.starts_with("MThd")) {
        return MidiFile::Parse(bytes, track, error);
    }
    const std::size_t slash = path.rfind('/');
    auto song = UltraStarFile::Parse(
        bytes, slash == path.npos ? std::string() : path.substr(0, slash), error);
    if (song && track > song->voices) {
        error = song->voices == 1 ? "Das Lied hat nur eine Stimme; --track 2 gilt für Duette"
                                  : "Das Duett hat zwei Stimmen, 1 und 2";
        return std::nullopt;
    }
    return song;
}

} // namespace tessmar
