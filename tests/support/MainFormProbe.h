// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/window/MainUnit.h"

namespace tessmar::test {

// The main window's own controls and cancel flag, for the tests that look at them or act
// on them directly.
struct MainFormProbe {
    explicit MainFormProbe(TMainForm& window) : form(window) {}

    TMainForm& form;
    bool& CancelFlag = form.CancelFlag;
    QLabel*& Label1 = form.Label1;
    QLabel*& Label2 = form.Label2;
    QLabel*& Label3 = form.Label3;
    QLabel*& Label4 = form.Label4;
    QLabel*& Label17 = form.Label17;
    QLabel*& Label26 = form.Label26;
    QLabel*& Label29 = form.Label29;
    QLabel*& Label30 = form.Label30;
    TBevel*& Bevel1 = form.Bevel1;
    QPushButton*& KonvertBtn = form.KonvertBtn;
    QPushButton*& StopPlayBtn = form.StopPlayBtn;
    TFilenameEdit*& FilenameEdit2 = form.FilenameEdit2;
    QSlider*& TrackBar1 = form.TrackBar1;
    QPushButton*& SetMixerBtn = form.SetMixerBtn;
    QPushButton*& RecordBtn = form.RecordBtn;
    QPushButton*& StopBtn = form.StopBtn;
    QScrollArea*& ScrollBox1 = form.ScrollBox1;
    TPaintBox*& PaintBox1 = form.PaintBox1;
    QProgressBar*& ProgressBar1 = form.ProgressBar1;
    QPushButton*& AboutBtn = form.AboutBtn;
    QPushButton*& PlayWAVBtn = form.PlayWAVBtn;
    QWidget*& MediaPlayer1 = form.MediaPlayer1;
};

} // namespace tessmar::test
