// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tessmar {

// What the playback needs of the main window. Everything runs on the window's thread.
class PlaybackView {
public:
    virtual ~PlaybackView() = default;

    // The file name the output-file field yields; throws the field's error when it
    // rejects its text.
    virtual std::string PlaybackFileName() = 0;

    // Whether a playback may be started, and whether the running one may be cancelled.
    virtual void AllowPlaying(bool allowed) = 0;
    virtual void AllowCancelling(bool allowed) = 0;
    // Elapsed and total time as text ("" clears it), and how much has played in percent.
    virtual void ShowTime(const std::string& text) = 0;
    virtual void ShowProgress(int percent) = 0;

    // Set by "Abbrechen".
    virtual bool CancelFlag() = 0;
    virtual void ClearCancelFlag() = 0;
    // True once the application has been asked to end (its window closed): a playback
    // running then ends like a cancelled one, so that the application can.
    virtual bool ApplicationQuitting() = 0;
};

} // namespace tessmar
