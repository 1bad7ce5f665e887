#include "app/MainUnit.h"

#include "analysis/NoteNaming.h"
#include "analysis/SemitoneDetector.h"
#include "app/AboutBoxUnit.h"
#include "app/AppError.h"
#include "app/Bevel.h"
#include "app/BoldLabel.h"
#include "app/DefaultOutputFile.h"
#include "app/FilenameEdit.h"
#include "app/Glyphs.h"
#include "app/PaintBox.h"
#include "app/WindowFont.h"
#include "platform/EventPump.h"
#include "platform/SaveDialog.h"
#include "platform/ScreenMetrics.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QThread>
#include <QToolButton>
#include <cmath>
#include <filesystem>

namespace tessmar {
namespace {

const QColor kMaroon(128, 0, 0);
const QColor kLime(0, 255, 0);

// Why the recording device didn't open, in the user's words; nothing gets recorded then.
QString DeviceUnavailableText(std::uint32_t code) {
    const char* why = "";
    switch (code) {
    case MMSYSERR_BADDEVICEID:
    case MMSYSERR_NODRIVER:
        why = "es ist keines vorhanden oder es lässt sich nicht erreichen";
        break;
    case MMSYSERR_ALLOCATED:
        why = "es wird gerade von einem anderen Programm benutzt";
        break;
    case WAVERR_BADFORMAT:
        why = "es nimmt nicht in 16 Bit Stereo mit 11025 Hz auf";
        break;
    case MMSYSERR_READERROR:
        return QString::fromUtf8(
            "Die Eingabedatei (TESSMAR_INPUT) lässt sich nicht lesen; warum, steht in der "
            "Standardfehlerausgabe. Es wird nichts aufgenommen; beenden Sie die Aufnahme mit "
            "\"Abbrechen\"");
    default:
        return QString("Das Aufnahmegerät lässt sich nicht öffnen (Fehler %1). Es wird nichts "
                       "aufgenommen; beenden Sie die Aufnahme mit \"Abbrechen\"")
            .arg(code);
    }
    return QString("Das Aufnahmegerät lässt sich nicht öffnen: %1. Es wird nichts aufgenommen; "
                   "beenden Sie die Aufnahme mit \"Abbrechen\"")
        .arg(QString::fromUtf8(why));
}

constexpr const char* kRecordingFullText =
    "Die Aufnahme hat ihre größte Länge erreicht. Töne und Wellenform werden weiter "
    "angezeigt, aber nicht mehr aufgezeichnet; \"Abbrechen\" speichert das bisher "
    "Aufgenommene";

} // namespace

TMainForm::TMainForm(const MainFormServices& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      services_(services), guard_(services.messages), placement_(services.profile, services.screen),
      captureLink_({[this](const std::uint8_t* block) { AnalizeFrequenz(block); },
                    [this] { PaintBox1->update(); },
                    [this] { guard_.Report(this, kRecordingFullText); },
                    [this](const std::string& file, const std::string& reason) {
                        return AskForOtherFile(file, reason);
                    },
                    [this](std::uint32_t code) {
                        guard_.Report(this, DeviceUnavailableText(code).toStdString());
                    }}),
      engine_(services.waveIn, captureLink_, services.events), mixerSetup_(services.mixer),
      player_(services.mediaDevice), playback_(player_, playbackLink_, services.events) {
    setObjectName("MainForm");
    setWindowTitle(kCaption);
    setFont(WindowFont::Get());
    scale_ = WindowFont::LayoutScale(font(), services.screen.PixelsPerInch());
    setFixedSize(Px(0, 0, kClientWidth, kClientHeight).size());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    BuildControls();
    ConnectHandlers();
    Guarded([this] { FormCreate(this); });
}

TMainForm::~TMainForm() {
    // A recording still running when the window goes (the program is being ended) is
    // stopped and saved while the window is whole.
    if (engine_.Running()) {
        engine_.StopBtnClick();
    }
    const std::string error = placement_.SaveAtDestruction(*this);
    if (!error.empty()) {
        guard_.Report(nullptr, error);
    }
}

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

    const double glyphScale = scale_;
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
    // Stands in for the playback device until playback drives it; never shown.
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

void TMainForm::ConnectHandlers() {
    auto on = [this](QPushButton* button, void (TMainForm::*handler)(QObject*)) {
        connect(button, &QPushButton::clicked, this,
                [this, handler] { Guarded([this, handler] { (this->*handler)(this); }); });
    };
    on(KonvertBtn, &TMainForm::KonvertBtnClick);
    on(StopPlayBtn, &TMainForm::StopPlayBtnClick);
    on(SetMixerBtn, &TMainForm::SetMixerBtnClick);
    on(RecordBtn, &TMainForm::RecordBtnClick);
    on(StopBtn, &TMainForm::StopBtnClick);
    on(PlayWAVBtn, &TMainForm::PlayWAVBtnClick);
    on(AboutBtn, &TMainForm::AboutBtnClick);
    connect(FilenameEdit2->BrowseButton(), &QAbstractButton::clicked, this,
            [this] { Guarded([this] { FilenameEdit2->Browse(); }); });
    PaintBox1->OnPaint = [this] {
        Guarded([this] {
            PaintBox1Paint(this);
            DrawWaveformTrace();
        });
    };
    // The capture thread reads the file name and the view's size from copies kept here.
    connect(FilenameEdit2, &QLineEdit::textChanged, this,
            [this] { captureLink_.SetOutputFileName(FilenameEdit2->FileName()); });
    captureLink_.SetOutputFileName(FilenameEdit2->FileName());
    captureLink_.SetViewSize({PaintBox1->width(), PaintBox1->height()});
}

void TMainForm::setVisible(bool visible) {
    if (!visible || isVisible()) {
        QWidget::setVisible(visible);
        return;
    }
    Guarded([this] { placement_.Restore(*this); });
    QWidget::setVisible(true);
    // After the window is up, so that whatever the show handler starts can be cancelled.
    if (!shown_) {
        shown_ = true;
        Guarded([this] { FormShow(this); });
    }
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (recording_) {
        // The window stays and the recording goes on until "Abbrechen"; it is saved and
        // the program then ends.
        terminationRequested_ = true;
        event->ignore();
        return;
    }
    CancelFlag = true; // a playback must not go on playing without its window
    event->accept();
    // The window closes even when its placement could not be stored.
    Guarded([this] { placement_.SaveAtClose(*this); });
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QAbstractButton*>(focusWidget());
            button && button->isEnabled() && button->isVisible()) {
            button->click();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (StopPlayBtn->isEnabled()) {
            StopPlayBtn->click();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void TMainForm::AnalizeFrequenz(const std::uint8_t* block) {
    const std::int32_t note = DetectNote(block);
    if (QThread::currentThread() == thread()) {
        notes_.Post(note);
        ShowNote(notes_.Take());
    } else if (notes_.Post(note)) {
        // No data travels with the call: the window fetches the latest result itself.
        QMetaObject::invokeMethod(this, "ShowLatestNote", Qt::QueuedConnection);
    }
}

void TMainForm::ShowLatestNote() {
    Guarded([this] { ShowNote(notes_.Take()); });
}

// Every block ends with only the note's red label shown and its name in Label1. Labels
// already in that state are left alone: a held note then costs no repainting at all.
void TMainForm::ShowNote(std::int32_t note) {
    QLabel* const lit = note == kNoNote ? nullptr : litNotes_[LitLabelNumber(note) - 17];
    for (QLabel* label : litNotes_) {
        if (label->isHidden() == (label == lit)) {
            label->setVisible(label == lit);
        }
    }
    const QString name = QString::fromStdString(NoteName(note));
    if (Label1->text() != name) {
        SetAutoSizedText(Label1, name);
    }
}

void TMainForm::FormCreate(QObject*) {
    FilenameEdit2->SetFileName(DefaultOutputFile::For(services_.programFile, services_.homeFolder,
                                                      DefaultOutputFile::IsWritableFolder));
}

void TMainForm::FormShow(QObject*) {
    const std::vector<std::string>& args = services_.arguments;
    if (args.size() < 2) {
        return; // interactive
    }
    FilenameEdit2->SetFileName(args[1]); // a rejected name ends the handler here
    if (args.size() >= 3) {
        bool isNumber = false;
        const int volume = QString::fromStdString(args[2]).toInt(&isNumber);
        if (isNumber) {
            TrackBar1->setValue(volume); // the slider clamps to 0..100
        }
    }
    KonvertBtnClick(this);
    // Takes effect once this handler is done and the event loop goes on.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TMainForm::KonvertBtnClick(QObject*) {
    KonvertBtn->setEnabled(false);
    // A playback that ended by itself would disable "Abbrechen" under the recording.
    const bool playable = PlayWAVBtn->isEnabled();
    PlayWAVBtn->setEnabled(false);
    try {
        SetMixerBtnClick(this);
        RecordBtnClick(this);
    } catch (...) {
        // Nothing runs; the window goes back to idle before the error is shown.
        KonvertBtn->setEnabled(true);
        PlayWAVBtn->setEnabled(playable);
        throw;
    }
    recording_ = true;
    StopPlayBtn->setEnabled(true);
    CancelFlag = false;
    WaitForCancel();
    SetAutoSizedText(Label4, "");
    ProgressBar1->setValue(0);
    StopPlayBtn->setEnabled(false);
    StopBtnClick(this);
    recording_ = false;
    KonvertBtn->setEnabled(true);
    PlayWAVBtn->setEnabled(playable); // still off when this recording began in a playback
    PaintBox1->repaint();
    if (terminationRequested_) {
        close();
    }
}

void TMainForm::WaitForCancel() {
    // Every handler of the window runs nested in here; between events the thread sleeps.
    using namespace std::chrono_literals;
    while (!CancelFlag) {
        services_.events.ServeEvents(1000ms);
    }
}

void TMainForm::StopPlayBtnClick(QObject*) {
    CancelFlag = true;
}

void TMainForm::RequestTermination() {
    terminationRequested_ = true;
    CancelFlag = true; // ends a recording or a playback that runs
    if (!recording_) {
        close();
    }
}

void TMainForm::SetMixerBtnClick(QObject*) {
    mixerSetup_.SetMixerBtnClick(TrackBar1->value());
}

void TMainForm::RecordBtnClick(QObject*) {
    engine_.RecordBtnClick();
}

void TMainForm::StopBtnClick(QObject*) {
    engine_.StopBtnClick();
}

std::string TMainForm::AskForOtherFile(const std::string& fileName, const std::string& reason) {
    guard_.Report(this, "Die Aufnahme konnte nicht in \"" + fileName + "\" gespeichert werden (" +
                            reason +
                            "). Bitte wählen Sie eine andere Datei; ohne Auswahl geht die "
                            "Aufnahme verloren");
    const std::filesystem::path previous(fileName);
    const auto chosen = services_.saveDialog.Run(
        this, {TFilenameEdit::kDialogTitle, TFilenameEdit::kFilter, previous.parent_path().string(),
               previous.filename().string()});
    return chosen.value_or("");
}

void TMainForm::PlayWAVBtnClick(QObject*) {
    playback_.PlayWAVBtnClick();
}

void TMainForm::AboutBtnClick(QObject*) {
    if (aboutBox_) {
        aboutBox_->exec();
    }
}

void TMainForm::PaintBox1Paint(QObject*) {
    if (QPainter* canvas = PaintBox1->Canvas()) {
        canvas->fillRect(PaintBox1->rect(), kMaroon);
    }
}

// A block's trace is drawn once, in the paint that follows its arrival; any later repaint
// leaves the view plain until the next block.
void TMainForm::DrawWaveformTrace() {
    QPainter* canvas = PaintBox1->Canvas();
    const std::optional<WaveformTrace> trace = captureLink_.TakeTrace();
    if (!canvas || !trace || trace->y.empty()) {
        return;
    }
    QPolygon line;
    line.reserve(int(trace->y.size()) + 1);
    line << QPoint(-1, trace->height / 2); // from just left of the view, on the midline
    for (std::size_t x = 0; x < trace->y.size(); ++x) {
        line << QPoint(int(x), trace->y[x]);
    }
    canvas->setPen(kLime);
    canvas->drawPolyline(line);
}

} // namespace tessmar
