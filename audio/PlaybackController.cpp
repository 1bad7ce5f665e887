// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/PlaybackController.h"

#include "audio/PlaybackTime.h"

namespace tessmar {

void PlaybackController::Play() {
    player_.FileName = view_.PlaybackFileName();
    player_.Open();
    view_.AllowPlaying(false);
    player_.Play();
    view_.AllowCancelling(true);
    // A cancel left over from a recording must not end this playback.
    view_.ClearCancelFlag();
    try {
        ShowUntilDone();
    } catch (...) {
        // The window must not stay stuck in the playing state, nor the sound go on.
        ReturnToIdle();
        throw;
    }
    ReturnToIdle();
}

void PlaybackController::ShowUntilDone() {
    player_.SetTimeFormat(mci::MCI_FORMAT_MILLISECONDS);
    const std::int32_t length = player_.Length();
    const std::string total = " / " + TimeText(length);
    // The wait between passes ends early for any event, so a click on "Abbrechen" is seen
    // at once; the end of the file within one refresh interval.
    while (player_.Mode() == mci::MCI_MODE_PLAY && !view_.CancelFlag() &&
           !view_.ApplicationQuitting()) {
        const std::int32_t position = player_.Position();
        view_.ShowProgress(ProgressPercent(position, length));
        view_.ShowTime(TimeText(position) + total);
        events_.ServeEvents(kRefreshInterval);
    }
}

void PlaybackController::ReturnToIdle() {
    view_.ShowTime("");
    view_.ShowProgress(0);
    view_.AllowCancelling(false);
    player_.Close();
    view_.AllowPlaying(true);
}

} // namespace tessmar
