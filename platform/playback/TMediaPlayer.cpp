// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/playback/TMediaPlayer.h"

#include "platform/playback/EMCIDeviceError.h"

namespace tessmar {

void TMediaPlayer::Open() {
    Close();
    const mci::Error result = device_.Open(FileName);
    if (result != mci::MMSYSERR_NOERROR) {
        throw EMCIDeviceError(result);
    }
    open_ = true;
}

void TMediaPlayer::Play() {
    if (open_) {
        device_.Play();
    }
}

void TMediaPlayer::SetTimeFormat(std::uint32_t format) {
    if (open_) {
        device_.SetTimeFormat(format);
    }
}

std::int32_t TMediaPlayer::Length() {
    std::int32_t value = 0;
    if (open_) {
        device_.Length(value);
    }
    return value;
}

std::int32_t TMediaPlayer::Position() {
    std::int32_t value = 0;
    if (open_) {
        device_.Position(value);
    }
    return value;
}

std::uint32_t TMediaPlayer::Mode() {
    std::uint32_t value = mci::MCI_MODE_NOT_READY;
    if (open_) {
        device_.Mode(value);
    }
    return value;
}

// Whatever the device answers, the component counts as closed afterwards.
void TMediaPlayer::Close() {
    if (open_) {
        open_ = false;
        device_.Close();
    }
}

} // namespace tessmar
