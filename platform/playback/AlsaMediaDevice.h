// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/playback/MediaPlayerDevice.h"
#include "platform/threads/SlowCall.h"

#include <memory>
#include <string>

namespace tessmar {

class AlsaPlayback;

// The media player on Linux: any file libsndfile reads, played on an ALSA PCM. The
// output is the one named at construction, else the one TESSMAR_OUTPUT names at the time
// of Open, else "default". Operations are meant for one thread (the window's).
class AlsaMediaDevice : public MediaPlayerDevice {
public:
    explicit AlsaMediaDevice(std::string outputName = {});
    ~AlsaMediaDevice() override;

    // How Open waits for an output that is slow to open (a stopped sound server); when the
    // wait gives up, Open fails with MCIERR_DEVICE_NOT_READY.
    void SetSlowCallWait(SlowCallWait wait) { slowCallWait_ = std::move(wait); }

    mci::Error Open(const std::string& fileName) override;
    mci::Error Play() override;
    mci::Error SetTimeFormat(std::uint32_t format) override;
    mci::Error Length(std::int32_t& value) override;
    mci::Error Position(std::int32_t& value) override;
    mci::Error Mode(std::uint32_t& value) override;
    mci::Error Close() override;

private:
    std::int32_t Milliseconds(std::int64_t frames) const;

    const std::string outputName_;
    std::unique_ptr<AlsaPlayback> playback_;
    SlowCallWait slowCallWait_;
};

} // namespace tessmar
