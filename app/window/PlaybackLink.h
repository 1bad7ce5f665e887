// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/PlaybackView.h"

namespace tessmar {

class TMainForm;

// The main window's controls as the playback sees them.
class PlaybackLink : public PlaybackView {
public:
    explicit PlaybackLink(TMainForm& form) : form_(form) {}

    std::string PlaybackFileName() override;
    void AllowPlaying(bool enabled) override;
    void AllowCancelling(bool enabled) override;
    void ShowTime(const std::string& text) override;
    void ShowProgress(int position) override;
    bool CancelFlag() override;
    void ClearCancelFlag() override;
    bool ApplicationQuitting() override;

private:
    TMainForm& form_;
};

} // namespace tessmar
