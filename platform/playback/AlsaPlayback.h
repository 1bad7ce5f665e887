// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/playback/MciConstants.h"
#include "platform/playback/PcmOutput.h"
#include "platform/system/UniqueFd.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <sndfile.h>
#include <string>
#include <thread>

namespace tessmar {

// One opened sound file and its output device. Play hands the sound to a player thread
// of its own; everything else may be asked from one other thread at any time.
// Destroying it stops the sound at once.
class AlsaPlayback {
public:
    // nullptr on failure, with the reason in error.
    static std::unique_ptr<AlsaPlayback> Open(const std::string& fileName,
                                              const std::string& outputName, mci::Error& error);
    ~AlsaPlayback();
    AlsaPlayback(const AlsaPlayback&) = delete;
    AlsaPlayback& operator=(const AlsaPlayback&) = delete;

    // Starts the sound from the beginning; only the first call does anything.
    void Play();
    // From Play until the last frame has been heard, or the device failed.
    bool Playing() const { return playing_.load(); }
    std::int64_t FramesHeard() const { return heard_.load(); }
    std::int64_t Frames() const { return info_.frames; }
    int Rate() const { return info_.samplerate; }

private:
    struct SndfileCloser {
        void operator()(SNDFILE* file) const { sf_close(file); }
    };
    AlsaPlayback() = default;

    void Run();
    // Writes the whole file; false when stopped or the device failed.
    bool WriteAll();
    void PlayOut();
    void Publish(std::int64_t heard);

    UniqueFd fd_; // the file's; closed after file_
    std::unique_ptr<SNDFILE, SndfileCloser> file_;
    SF_INFO info_{};
    std::unique_ptr<PcmOutput> output_;
    std::int64_t written_ = 0; // player thread only
    std::atomic<bool> stop_{false};
    std::atomic<bool> playing_{false};
    std::atomic<std::int64_t> heard_{0};
    std::thread thread_;
};

} // namespace tessmar
