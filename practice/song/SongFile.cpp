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
