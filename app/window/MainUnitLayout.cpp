// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls as laid out: positions, texts, stacking order and tab order.
#include "app/controls/Bevel.h"
#include "app/controls/BoldLabel.h"
#include "app/controls/FilenameEdit.h"
#include "app/controls/Glyphs.h"
#include "app/controls/PaintBox.h"
#include "app/window/MainUnit.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <cmath>

namespace tessmar {

QRect TMainForm::Px(int left, int top, int width, int height) const {
    auto s = [this](int v) { return int(std::lround(v * scale_)); };
    return {s(left), s(top), s(width), s(height)};
}

QLabel* TMainForm::AddLabel(const char* name, const QString& text, int left, int top, int width) {
    return PlaceLabel(new QLabel(text, this), name, left, top, width);
}

QLabel* TMainForm::PlaceLabel(QLabel* label, const char* name, int left, int top, int width) {
    label->setObjectName(name);
    // Labels are opaque, so a label covers what lies below it.
    label->setBackgroundRole(QPalette::Button);
    label->setForegroundRole(QPalette::WindowText);
    label->setAutoFillBackground(true);
    QRect r = Px(left, top, width, 13);
    r.setWidth(std::max(r.width(), label->sizeHint().width()));
    label->setGeometry(r);
    return label;
}

void TMainForm::SetAutoSizedText(QLabel* label, const QString& text) {
    label->setText(text);
    label->resize(text.isEmpty() ? 0 : label->sizeHint().width(), Px(0, 0, 0, 13).height());
}

QPushButton* TMainForm::AddButton(const char* name, const QString& text, QRect geometry) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setGeometry(geometry);
    return button;
}

void TMainForm::BuildControls() {
    Label2 = AddLabel("Label2", "WAV-Datei:", 8, 56, 56);
    Bevel1 = new TBevel(this);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setGeometry(Px(0, 342, 548, 50));
    Label3 = AddLabel("Label3", "Lautstärke:", 8, 80, 53);
    Label4 = AddLabel("Label4", "", 8, 288, 0);
    Label1 = AddLabel("Label1", "", 8, 288, 0);
    SetAutoSizedText(Label4, "");
    SetAutoSizedText(Label1, "");
    BuildNoteColumn();
    Label29 = AddLabel("Label29",
                       "Aktivieren Sie im Windows-Mixer unter Eigenschaften/Aufname das Mikrofon!",
                       16, 320, 365);
    Label30 = AddLabel("Label30",
                       "Wenn Sie eine WAV Datei angeben, dann wird Ihr Gesang auch aufgezeichnet.",
                       8, 32, 378);

    // In device pixels, so that they are as sharp on a scaled screen as the text.
    const double glyphScale = scale_ * devicePixelRatioF();
    KonvertBtn = AddButton("KonvertBtn", "Aufzeichnung starten", Px(108, 352, 145, 25));
    KonvertBtn->setIcon(Glyphs::DoubleTick(glyphScale));
    StopPlayBtn = AddButton("StopPlayBtn", "Abbrechen", Px(260, 352, 121, 25));
    StopPlayBtn->setIcon(Glyphs::Cross(glyphScale));
    StopPlayBtn->setEnabled(false);
    FilenameEdit2 = new TFilenameEdit(services_.saveDialog, this);
    FilenameEdit2->setObjectName("FilenameEdit2");
    FilenameEdit2->setGeometry(Px(88, 56, 361, 21));
    TrackBar1 = new QSlider(Qt::Horizontal, this);
    TrackBar1->setObjectName("TrackBar1");
    TrackBar1->setGeometry(Px(80, 88, 377, 45));
    TrackBar1->setRange(0, 100);
    TrackBar1->setValue(30);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setTickInterval(10);
    SetMixerBtn = AddButton("SetMixerBtn", "Set Mixer", Px(208, 32, 75, 25));
    RecordBtn = AddButton("RecordBtn", "Record", Px(288, 32, 75, 25));
    StopBtn = AddButton("StopBtn", "Stop", Px(344, 32, 75, 25));
    for (QPushButton* hidden : {SetMixerBtn, RecordBtn, StopBtn}) {
        hidden->hide();
    }

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    ScrollBox1->setFocusPolicy(Qt::NoFocus);
    ScrollBox1->setGeometry(Px(8, 136, 441, 121));
    PaintBox1 = new TPaintBox(nullptr);
    PaintBox1->setObjectName("PaintBox1");
    PaintBox1->resize(ScrollBox1->width() - 2 * ScrollBox1->frameWidth(),
                      ScrollBox1->height() - 2 * ScrollBox1->frameWidth());
    ScrollBox1->setWidget(PaintBox1);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setGeometry(Px(8, 264, 441, 17));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    AboutBtn = AddButton("AboutBtn", "Über das Programm...", Px(296, 4, 147, 25));
    AboutBtn->setIcon(Glyphs::Picture(glyphScale));
    PlayWAVBtn = AddButton("PlayWAVBtn", "WAV Datei abspielen", Px(280, 288, 171, 25));
    PlayWAVBtn->setIcon(Glyphs::Play(glyphScale));
    for (QPushButton* glyphButton : {KonvertBtn, StopPlayBtn, AboutBtn, PlayWAVBtn}) {
        glyphButton->setIconSize(Px(0, 0, 16, 16).size());
    }
    // The media player control: player_ is its device, which playback drives; never shown.
    MediaPlayer1 = new QWidget(this);
    MediaPlayer1->setObjectName("MediaPlayer1");
    MediaPlayer1->setGeometry(Px(184, 48, 253, 30));
    MediaPlayer1->hide();

    setTabOrder(KonvertBtn, StopPlayBtn);
    setTabOrder(StopPlayBtn, FilenameEdit2);
    setTabOrder(FilenameEdit2, TrackBar1);
    setTabOrder(TrackBar1, AboutBtn);
    setTabOrder(AboutBtn, PlayWAVBtn);
    KonvertBtn->setFocus();
}

void TMainForm::BuildNoteColumn() {
    static constexpr const char* kNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                               "F#", "G",  "G#", "A",  "A#", "H"};
    static constexpr int kPlainWidth[12] = {7, 14, 8, 15, 7, 6, 13, 8, 15, 7, 14, 8};
    static constexpr int kLitWidth[12] = {9, 17, 10, 18, 9, 8, 16, 10, 18, 9, 17, 10};
    QLabel** plain[12] = {&Label5,  &Label6,  &Label7,  &Label8,  &Label9,  &Label10,
                          &Label11, &Label12, &Label13, &Label14, &Label15, &Label16};
    QLabel** lit[12] = {&Label17, &Label18, &Label19, &Label20, &Label21, &Label22,
                        &Label23, &Label24, &Label25, &Label26, &Label27, &Label28};
    for (int row = 0; row < 12; ++row) {
        const std::string name = "Label" + std::to_string(5 + row);
        *plain[row] = AddLabel(name.c_str(), kNames[row], 464, 96 + 16 * row, kPlainWidth[row]);
        plainNotes_[row] = *plain[row];
    }
    for (int row = 0; row < 12; ++row) {
        const std::string name = "Label" + std::to_string(17 + row);
        QLabel* label = PlaceLabel(new TBoldLabel(kNames[row], this), name.c_str(), 464,
                                   96 + 16 * row, kLitWidth[row]);
        QPalette red = label->palette();
        red.setColor(QPalette::WindowText, QColor(255, 0, 0));
        label->setPalette(red);
        // Bold text is wider: the lit label must still cover the plain one completely.
        label->resize(
            std::max({label->width(), label->sizeHint().width(), plainNotes_[row]->width()}),
            label->height());
        *lit[row] = label;
        litNotes_[row] = label;
    }
}

} // namespace tessmar
