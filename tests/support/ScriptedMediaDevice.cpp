// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedMediaDevice.h"

namespace tessmar::test {

mci::Error ScriptedMediaDevice::Open(const std::string& fileName) {
    log_.push_back("open " + fileName);
    if (open_) {
        return mci::MCIERR_DEVICE_OPEN;
    }
    open_ = openResult == mci::MMSYSERR_NOERROR;
    return openResult;
}

mci::Error ScriptedMediaDevice::Play() {
    log_.push_back("play");
    playing_ = open_;
    return open_ ? mci::MMSYSERR_NOERROR : mci::MCIERR_INVALID_DEVICE_ID;
}

mci::Error ScriptedMediaDevice::SetTimeFormat(std::uint32_t format) {
    log_.push_back("time format " + std::to_string(format));
    return open_ ? mci::MMSYSERR_NOERROR : mci::MCIERR_INVALID_DEVICE_ID;
}

mci::Error ScriptedMediaDevice::Length(std::int32_t& value) {
    value = open_ ? length : 0;
    return open_ ? mci::MMSYSERR_NOERROR : mci::MCIERR_INVALID_DEVICE_ID;
}

mci::Error ScriptedMediaDevice::Position(std::int32_t& value) {
    value = open_ && step_ > 0 && step_ <= positions.size() ? positions[step_ - 1] : 0;
    return open_ ? mci::MMSYSERR_NOERROR : mci::MCIERR_INVALID_DEVICE_ID;
}

mci::Error ScriptedMediaDevice::Mode(std::uint32_t& value) {
    if (playing_ && step_ < positions.size()) {
        ++step_;
        value = mci::MCI_MODE_PLAY;
    } else {
        playing_ = false;
        value = open_ ? mci::MCI_MODE_STOP : 0;
    }
    return open_ ? mci::MMSYSERR_NOERROR : mci::MCIERR_INVALID_DEVICE_ID;
}

mci::Error ScriptedMediaDevice::Close() {
    log_.push_back("close");
    const bool wasOpen = open_;
    open_ = playing_ = false;
    return wasOpen ? mci::MMSYSERR_NOERROR : mci::MCIERR_INVALID_DEVICE_ID;
}

} // namespace tessmar::test
