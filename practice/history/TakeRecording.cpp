// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/history/TakeRecording.h"

#include "platform/decoding/SoundFileDecoder.h"
#include "platform/files/PrivateFolder.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sndfile.h>
#include <unistd.h>

namespace tessmar {

std::string TakeRecording::NameFor(std::int64_t at) {
    static int count = 0;
    return std::to_string(at) + "-" + std::to_string(getpid()) + "-" + std::to_string(++count) +
           ".flac";
}

bool TakeRecording::Write(const std::string& path, const std::vector<std::int16_t>& mono, int rate,
                          std::string& error) {
    // The singer's voice is theirs alone: its folder is closed to others, the file is the
    // owner's, and never written through a link or into a file that was there.
    PrivateFolder::Make(std::filesystem::path(path).parent_path().string());
    const std::string part = path + ".teil";
    std::remove(part.c_str()); // a killed write's, or a link: gone, not followed
    const int fd = open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE* file = fd < 0 ? nullptr : sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
    if (!file) { // the descriptor went with the failed open
        if (fd >= 0) {
            std::remove(part.c_str());
        }
        error = "die Aufnahme lässt sich nicht anlegen";
        return false;
    }
    const bool written =
        sf_write_short(file, mono.data(), sf_count_t(mono.size())) == sf_count_t(mono.size());
    const bool closed = sf_close(file) == 0;
    if (!written || !closed || std::rename(part.c_str(), path.c_str()) != 0) {
        std::remove(part.c_str());
        error = "die Aufnahme ließ sich nicht ganz schreiben";
        return false;
    }
    return true;
}

std::vector<std::int16_t> TakeRecording::Read(const std::string& path, int rate,
                                              std::string& error) {
    const auto decoder = SoundFileDecoder::Open(path, error, rate);
    std::vector<std::int16_t> mono;
    if (!decoder) {
        return mono;
    }
    std::vector<std::int16_t> stereo(2 * 4096);
    while (const std::size_t got = decoder->Read(stereo.data(), 4096)) {
        for (std::size_t i = 0; i < got; ++i) {
            mono.push_back(stereo[2 * i]); // both sides alike: it was mono
        }
    }
    error = decoder->error();
    return error.empty() ? mono : std::vector<std::int16_t>();
}

} // namespace tessmar
