// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/playback/AlsaMediaDevice.h"

#include "platform/playback/AlsaPlayback.h"

#include <cstdlib>
#include <limits>

namespace tessmar {

AlsaMediaDevice::AlsaMediaDevice(std::string outputName) : outputName_(std::move(outputName)) {}

AlsaMediaDevice::~AlsaMediaDevice() = default;

mci::Error AlsaMediaDevice::Open(const std::string& fileName) {
    if (playback_) {
        return mci::MCIERR_DEVICE_OPEN;
    }
    std::string output = outputName_;
    if (output.empty()) {
        const char* fromEnvironment = std::getenv("TESSMAR_OUTPUT");
        output = fromEnvironment && *fromEnvironment ? fromEnvironment : "default";
    }
    struct Opened {
        std::unique_ptr<AlsaPlayback> playback;
        mci::Error error = mci::MMSYSERR_NOERROR;
    };
    // Off this thread: the window's, which must stay able to hear a signal meanwhile.
    std::optional<Opened> opened = RunAside<Opened>(
        [fileName, output] {
            Opened o;
            o.playback = AlsaPlayback::Open(fileName, output, o.error);
            return o;
        },
        slowCallWait_);
    if (!opened) {
        return mci::MCIERR_DEVICE_NOT_READY; // it ends by itself, and drops what it opened
    }
    playback_ = std::move(opened->playback);
    return opened->error;
}

mci::Error AlsaMediaDevice::Play() {
    if (!playback_) {
        return mci::MCIERR_INVALID_DEVICE_ID;
    }
    playback_->Play();
    return mci::MMSYSERR_NOERROR;
}

// Milliseconds are the only time format, and the one in force from the start.
mci::Error AlsaMediaDevice::SetTimeFormat(std::uint32_t format) {
    if (!playback_) {
        return mci::MCIERR_INVALID_DEVICE_ID;
    }
    return format == mci::MCI_FORMAT_MILLISECONDS ? mci::MMSYSERR_NOERROR
                                                  : mci::MCIERR_BAD_TIME_FORMAT;
}

mci::Error AlsaMediaDevice::Length(std::int32_t& value) {
    value = 0;
    if (!playback_) {
        return mci::MCIERR_INVALID_DEVICE_ID;
    }
    value = Milliseconds(playback_->Frames());
    return mci::MMSYSERR_NOERROR;
}

mci::Error AlsaMediaDevice::Position(std::int32_t& value) {
    value = 0;
    if (!playback_) {
        return mci::MCIERR_INVALID_DEVICE_ID;
    }
    value = Milliseconds(playback_->FramesHeard());
    return mci::MMSYSERR_NOERROR;
}

mci::Error AlsaMediaDevice::Mode(std::uint32_t& value) {
    value = 0;
    if (!playback_) {
        return mci::MCIERR_INVALID_DEVICE_ID;
    }
    value = playback_->Playing() ? mci::MCI_MODE_PLAY : mci::MCI_MODE_STOP;
    return mci::MMSYSERR_NOERROR;
}

mci::Error AlsaMediaDevice::Close() {
    if (!playback_) {
        return mci::MCIERR_INVALID_DEVICE_ID;
    }
    playback_.reset();
    return mci::MMSYSERR_NOERROR;
}

std::int32_t AlsaMediaDevice::Milliseconds(std::int64_t frames) const {
    const std::int64_t ms = frames * 1000 / playback_->Rate();
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(ms, std::numeric_limits<std::int32_t>::max()));
}

} // namespace tessmar
