// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/playback/MediaPlayerDevice.h"

#include <cstdint>
#include <string>

namespace tessmar {

// The window's media player component: a file name and the operations on it, over a
// device. Only Open reports failures (as EMCIDeviceError); the others pass the device's
// values on as they come, and do nothing while no file is open.
class TMediaPlayer {
public:
    explicit TMediaPlayer(MediaPlayerDevice& device) : device_(device) {}
    ~TMediaPlayer() { Close(); }
    TMediaPlayer(const TMediaPlayer&) = delete;
    TMediaPlayer& operator=(const TMediaPlayer&) = delete;

    std::string FileName;

    // Opens FileName, closing first what is still open. Throws EMCIDeviceError.
    void Open();
    void Play();
    void SetTimeFormat(std::uint32_t format);
    std::int32_t Length();
    std::int32_t Position();
    std::uint32_t Mode();
    void Close();

    bool IsOpen() const { return open_; }

private:
    MediaPlayerDevice& device_;
    bool open_ = false;
};

} // namespace tessmar
