// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/playback/AlsaPlayback.h"

#include "platform/system/RegularFile.h"
#include "platform/system/SystemErrorText.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tessmar {
namespace {

constexpr sf_count_t kChunkFrames = 1024;
// How long the player thread waits at most before it looks for a stop request again.
constexpr std::chrono::milliseconds kWaitStep{20};
// Beyond the sound still buffered: how long a device may take to report it has played out.
constexpr std::chrono::seconds kDrainSlack{2};

// Why a path can't be played (OpenRegularFile's error), as the player's error code.
mci::Error AccessProblem(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return mci::MCIERR_FILE_NOT_FOUND;
    case kErrNotRegularFile:
        return mci::MCIERR_NOT_REGULAR_FILE;
    default:
        return mci::MCIERR_FILE_READ;
    }
}

} // namespace

std::unique_ptr<AlsaPlayback> AlsaPlayback::Open(const std::string& fileName,
                                                 const std::string& outputName, mci::Error& error) {
    if (fileName.empty()) {
        error = mci::MCIERR_FILENAME_REQUIRED;
        return nullptr;
    }
    // A FIFO or a device would keep the window waiting in the open, or in the reads.
    int code = 0;
    UniqueFd fd = OpenRegularFile(fileName, code);
    if (!fd) {
        error = AccessProblem(code);
        return nullptr;
    }
    std::unique_ptr<AlsaPlayback> playback(new AlsaPlayback);
    playback->fd_ = std::move(fd);
    playback->file_.reset(sf_open_fd(playback->fd_.get(), SFM_READ, &playback->info_, SF_FALSE));
    const SF_INFO& info = playback->info_;
    if (!playback->file_ || info.channels < 1 || info.samplerate < 1 || info.frames < 0) {
        error = mci::MCIERR_INVALID_FILE;
        return nullptr;
    }
    // Float files beyond full scale are clipped, not wrapped around.
    sf_command(playback->file_.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    playback->output_ = PcmOutput::Open(outputName, info.channels, info.samplerate, error);
    if (!playback->output_) {
        return nullptr;
    }
    return playback;
}

AlsaPlayback::~AlsaPlayback() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

void AlsaPlayback::Play() {
    if (thread_.joinable()) {
        return;
    }
    playing_ = true;
    thread_ = std::thread(&AlsaPlayback::Run, this);
}

void AlsaPlayback::Run() {
    if (WriteAll() && !stop_) {
        PlayOut();
    }
    output_->Drop();
    playing_ = false;
}

bool AlsaPlayback::WriteAll() {
    std::vector<std::int16_t> chunk(static_cast<std::size_t>(kChunkFrames * info_.channels));
    std::size_t chunkFrames = 0;
    std::size_t done = 0;
    while (!stop_) {
        if (done == chunkFrames) {
            const sf_count_t got = sf_readf_short(file_.get(), chunk.data(), kChunkFrames);
            if (got <= 0) {
                // The end, or a file that can't be read further: play what has been read.
                return true;
            }
            chunkFrames = static_cast<std::size_t>(got);
            done = 0;
        }
        const long taken = output_->Write(chunk.data() + done * info_.channels, chunkFrames - done);
        if (taken < 0) {
            return false;
        }
        done += static_cast<std::size_t>(taken);
        written_ += taken;
        Publish(written_ - output_->Delay());
        if (taken == 0) {
            output_->Wait(kWaitStep);
        }
    }
    return false;
}

// Waits until the device has played everything out, or says it can't.
void AlsaPlayback::PlayOut() {
    if (written_ == 0) {
        return;
    }
    const auto buffered = std::chrono::milliseconds(output_->Delay() * 1000 / info_.samplerate);
    const auto deadline = std::chrono::steady_clock::now() + buffered + kDrainSlack;
    output_->StartDrain();
    while (!stop_ && output_->Draining() && std::chrono::steady_clock::now() < deadline) {
        Publish(written_ - output_->Delay());
        output_->Wait(kWaitStep);
    }
    if (!stop_) {
        Publish(written_);
    }
}

// The position never goes back, not even when the device has to start over.
void AlsaPlayback::Publish(std::int64_t heard) {
    heard = std::clamp<std::int64_t>(heard, 0, written_);
    if (heard > heard_.load()) {
        heard_ = heard;
    }
}

} // namespace tessmar
