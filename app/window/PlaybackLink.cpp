// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/PlaybackLink.h"

#include "app/controls/FilenameEdit.h"
#include "app/window/MainUnit.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace tessmar {

std::string PlaybackLink::PlaybackFileName() {
    return form_.FilenameEdit2->FileName();
}

void PlaybackLink::AllowPlaying(bool enabled) {
    form_.PlayWAVBtn->setEnabled(enabled);
}

void PlaybackLink::AllowCancelling(bool enabled) {
    form_.StopPlayBtn->setEnabled(enabled);
}

void PlaybackLink::ShowTime(const std::string& text) {
    form_.ShowPlaybackTime(QString::fromStdString(text));
}

void PlaybackLink::ShowProgress(int position) {
    form_.ProgressBar1->setValue(position);
}

bool PlaybackLink::CancelFlag() {
    return form_.CancelFlag;
}

void PlaybackLink::ClearCancelFlag() {
    form_.CancelFlag = false;
}

bool PlaybackLink::ApplicationQuitting() {
    return form_.TerminationRequested();
}

} // namespace tessmar
