// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/playback/MediaPlayerDevice.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tessmar::test {

// A media player device that plays a script instead of a file: each call of Mode moves on
// to the next position, and once the positions run out the device has stopped. Every call
// is noted in `log`, which the test may share with other fakes to see the order of
// everything.
class ScriptedMediaDevice : public MediaPlayerDevice {
public:
    explicit ScriptedMediaDevice(std::vector<std::string>& log) : log_(log) {}

    mci::Error openResult = mci::MMSYSERR_NOERROR;
    std::int32_t length = 0;
    std::vector<std::int32_t> positions; // one per pass while playing

    mci::Error Open(const std::string& fileName) override;
    mci::Error Play() override;
    mci::Error SetTimeFormat(std::uint32_t format) override;
    mci::Error Length(std::int32_t& value) override;
    mci::Error Position(std::int32_t& value) override;
    mci::Error Mode(std::uint32_t& value) override;
    mci::Error Close() override;

    bool IsOpen() const { return open_; }

private:
    std::vector<std::string>& log_;
    bool open_ = false;
    bool playing_ = false;
    std::size_t step_ = 0; // positions[step_ - 1] is current
};

} // namespace tessmar::test
