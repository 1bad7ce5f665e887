#pragma once

#include "audio/PlaybackView.h"

namespace tessmar {

class TMainForm;

// The main window's controls as the playback sees them.
class PlaybackLink : public PlaybackView {
public:
    explicit PlaybackLink(TMainForm& form) : form_(form) {}

    std::string PlaybackFileName() override;
    void SetPlayWAVBtnEnabled(bool enabled) override;
    void SetStopPlayBtnEnabled(bool enabled) override;
    void SetLabel4Text(const std::string& text) override;
    void SetProgressBar1Position(int position) override;
    bool CancelFlag() override;
    void ClearCancelFlag() override;
    bool ApplicationQuitting() override;

private:
    TMainForm& form_;
};

} // namespace tessmar
