// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/PlaybackView.h"
#include "platform/desktop/EventPump.h"
#include "platform/playback/TMediaPlayer.h"

#include <chrono>

namespace tessmar {

// Plays the file the output-file field names, with elapsed and total time and a progress
// bar, while the window goes on serving its events.
class PlaybackController {
public:
    // How often the time and the bar are brought up to date while nothing else happens.
    static constexpr std::chrono::milliseconds kRefreshInterval{50};

    PlaybackController(TMediaPlayer& player, PlaybackView& view, EventPump& events)
        : player_(player), view_(view), events_(events) {}

    // The click on "WAV Datei abspielen". Returns when the file has played to its end,
    // "Abbrechen" was clicked or the application is quitting, with the window back at
    // idle. Throws the file field's error or EMCIDeviceError when the file can't be
    // opened; nothing on the window has changed then.
    void Play();

private:
    void ShowUntilDone();
    void ReturnToIdle();

    TMediaPlayer& player_;
    PlaybackView& view_;
    EventPump& events_;
};

} // namespace tessmar
