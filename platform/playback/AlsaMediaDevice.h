#pragma once

#include "platform/playback/MediaPlayerDevice.h"

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
};

} // namespace tessmar
