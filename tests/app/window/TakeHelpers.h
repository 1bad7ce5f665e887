// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the recording tests share: starting clicks while the take waits, and blocks.
#include "MainFormFixture.h"

#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tessmar::test {

inline std::size_t SamplesIn(const std::string& path) {
    return std::filesystem::exists(path) ? std::filesystem::file_size(path) - 44 : 0;
}

// Runs `during` once the recording waits, the way the user's clicks would arrive. The
// recording is cancelled afterwards in any case, so a failed check can't hang the test.
inline void WhileRecording(TMainForm& form, std::function<void()> during) {
    QTimer::singleShot(0, &form, [&form, during = std::move(during)] {
        during();
        MainFormProbe(form).CancelFlag = true;
    });
}

// Fills the next block and waits until the capture thread has given it back.
inline bool Capture(MainFormFixture& f, std::uint8_t value) {
    return f.waveIn.WaitForQueued(2) && f.waveIn.Fill(4096, value) && f.waveIn.WaitForQueued(2);
}

inline bool Contains(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

} // namespace tessmar::test
