// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/playback/MciConstants.h"

#include <cstdint>
#include <string>

namespace tessmar {

// A media player device: the seven operations playback needs. Every operation reports
// through its result (0 or an mci error code); the status operations deliver their value
// through `value`, which is 0 when they fail. Times are in the time format last set;
// milliseconds (the only one offered) until then.
class MediaPlayerDevice {
public:
    virtual ~MediaPlayerDevice() = default;

    // Opens the named file for playing; fails with MCIERR_DEVICE_OPEN while still open.
    virtual mci::Error Open(const std::string& fileName) = 0;
    // Starts playing from the start and returns at once; the sound plays in the background.
    virtual mci::Error Play() = 0;
    virtual mci::Error SetTimeFormat(std::uint32_t format) = 0;
    virtual mci::Error Length(std::int32_t& value) = 0;
    // How much of the sound has been heard.
    virtual mci::Error Position(std::int32_t& value) = 0;
    // MCI_MODE_PLAY until the last sound has been heard, MCI_MODE_STOP otherwise.
    virtual mci::Error Mode(std::uint32_t& value) = 0;
    // Stops the sound at once and releases the file and the output.
    virtual mci::Error Close() = 0;
};

} // namespace tessmar
