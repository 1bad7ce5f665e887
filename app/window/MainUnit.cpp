// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/MainUnit.h"

#include "analysis/NoteNaming.h"
#include "analysis/SemitoneDetector.h"
#include "app/AppError.h"
#include "app/about/AboutBoxUnit.h"
#include "app/controls/FilenameEdit.h"
#include "app/controls/PaintBox.h"
#include "app/controls/WindowFont.h"
#include "app/recording/DefaultOutputFile.h"
#include "app/recording/FileNameRules.h"
#include "app/recording/RecordingMessages.h"
#include "app/recording/TakeRecovery.h"
#include "platform/desktop/EventPump.h"
#include "platform/desktop/SaveDialog.h"
#include "platform/desktop/ScreenMetrics.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QThread>
#include <QToolButton>
#include <filesystem>

namespace tessmar {
namespace {

const QColor kMaroon(128, 0, 0);
const QColor kLime(0, 255, 0);

} // namespace

TMainForm::TMainForm(const MainFormServices& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      services_(services), guard_(services.messages),
      keeper_({services.messages, services.saveDialog, this,
               [this](const std::string& text) { guard_.Report(this, text); },
               [this](std::function<void()> work) {
                   QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
               }},
              services.homeFolder, services.journalFolders, outcome_),
      placement_(services.profile, services.screen),
      captureLink_(
          {[](const std::uint8_t* block) { return DetectNote(block); },
           [this] { ShowLatestBlock(); },
           [this](RecordingLimit why) {
               guard_.Report(this, RecordingStoppedGrowingText(why, keeper_.CommandLine()));
           },
           [this](const std::string& file) { return keeper_.FileToWrite(file); },
           [this](const std::string& file, const std::string& reason) {
               return keeper_.OtherFile(file, reason);
           },
           [this](std::uint32_t code) { keeper_.DeviceUnavailable(code); },
           [this](const std::string& file, std::int32_t bytes) {
               return keeper_.MoveJournalTo(file, bytes);
           },
           [this](const std::string& file) { RecordingSaved(file); }, [this] { DeviceLost(); }}),
      tracePicture_(kMaroon.rgb(), kLime.rgb()),
      engine_(services.waveIn, captureLink_, services.events), mixerSetup_(services.mixer),
      player_(services.mediaDevice), playback_(player_, playbackLink_, services.events) {
    engine_.SetJournal(keeper_.Journal());
    setObjectName("MainForm");
    setWindowTitle(kCaption);
    setFont(WindowFont::Get(devicePixelRatioF()));
    scale_ = WindowFont::LayoutScale(font(), services.screen.PixelsPerInch());
    setFixedSize(Px(0, 0, kClientWidth, kClientHeight).size());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    BuildControls();
    DescribeControls();
    ConnectHandlers();
    Guarded([this] { FormCreate(this); });
}

TMainForm::~TMainForm() {
    // A recording still running when the window goes (the program is being ended) is
    // stopped and saved while the window is whole; nobody is asked any more.
    if (engine_.Running()) {
        keeper_.SetSignalled();
        guard_.SendToTerminal();
        try {
            engine_.Stop();
            keeper_.End(!FilenameEdit2->FileName().empty());
        } catch (const std::exception& e) {
            keeper_.Failed(e.what());
        }
    }
    const std::string error = placement_.SaveAtDestruction(*this);
    if (!error.empty()) {
        guard_.Report(nullptr, error);
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
    trace_.y.reserve(std::size_t(PaintBox1->width())); // what the mailbox swaps with
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
        Guarded([this] { keeper_.RecoverInterruptedTakes(services_.arguments.size() >= 2); });
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
        ShowNote(captureLink_.ShowNoteNow(note));
    } else {
        captureLink_.PostNote(note); // the window fetches the latest result itself
    }
}

// A block's note and trace, or a note alone, are waiting: the trace is drawn in the paint
// that follows.
void TMainForm::ShowLatestBlock() {
    Guarded([this] {
        bool traceArrived = false;
        ShowNote(captureLink_.TakeBlock(trace_, traceArrived));
        if (traceArrived) {
            latency_.Record(trace_.filledAt);
            traceToDraw_ = true;
            // Only the rows the last trace or this one reached need showing again; at once,
            // with any labels the note changed, rather than in a further pass of the loop.
            const WaveformPicture::Rows rows = tracePicture_.Draw(trace_);
            PaintBox1->repaint(0, rows.top, PaintBox1->width(), rows.bottom - rows.top + 1);
        }
    });
}

// Every block ends with only the note's red label shown and its name in Label1. Labels
// already in that state are left alone: a held note then costs no repainting at all, and
// not even a look at the labels.
void TMainForm::ShowNote(std::int32_t note) {
    if (std::exchange(shownNote_, note) == note) {
        return;
    }
    QLabel* const lit = note == kNoNote ? nullptr : litNotes_[std::size_t(PitchClass(note))];
    for (QLabel* label : litNotes_) {
        if (label->isHidden() == (label == lit)) {
            label->setVisible(label == lit);
        }
    }
    const QString name = QString::fromStdString(NoteName(note));
    if (Label1->text() == name) {
        return;
    }
    if (name.isEmpty()) {
        SetAutoSizedText(Label1, name);
    } else if (int& width = noteNameWidths_.at(std::size_t(note)); width == 0) {
        SetAutoSizedText(Label1, name);
        width = Label1->width();
    } else {
        // The label would shape the text anew to measure it; in the window's fixed font a
        // name's width never changes.
        Label1->setText(name);
        Label1->resize(width, Label1->height());
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
        TrackBar1->setValue(keeper_.VolumeFromArgument(args[2], TrackBar1->value()));
    }
    keeper_.SetCommandLine();
    // The program ends after the take whatever happened in it. Nobody may be there to answer
    // a box, so what went wrong goes to the terminal and into the exit status.
    try {
        KonvertBtnClick(this);
    } catch (const std::exception& e) {
        keeper_.Failed(e.what());
    } catch (...) {
        keeper_.Failed("");
    }
    // Takes effect once this handler is done and the event loop goes on.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TMainForm::KonvertBtnClick(QObject*) {
    // The key that started the take ends it: the focus goes with the start button to
    // "Abbrechen" and back, not to the file name field, whose cursor would blink (and wake
    // the window) through the whole take.
    bool focusBack = focusWidget() == KonvertBtn;
    KonvertBtn->setEnabled(false);
    // A playback that ended by itself would disable "Abbrechen" under the recording.
    const bool playable = PlayWAVBtn->isEnabled();
    PlayWAVBtn->setEnabled(false);
    // From here on a signal or a close request ends the take rather than the window.
    recording_ = true;
    keeper_.Begin(FilenameEdit2->FileName());
    try {
        SetMixerBtnClick(this);
        RecordBtnClick(this);
        StopPlayBtn->setEnabled(true);
        if (focusBack) {
            StopPlayBtn->setFocus(Qt::OtherFocusReason);
        }
        // A signal while the device was opened (its box perhaps up) ends the take at once.
        CancelFlag = keeper_.Signalled();
        WaitForCancel();
        focusBack = focusWidget() == StopPlayBtn; // unless the user went elsewhere meanwhile
        SetAutoSizedText(Label4, "");
        ProgressBar1->setValue(0);
        StopPlayBtn->setEnabled(false);
        StopBtnClick(this);
    } catch (...) {
        // The window goes back to idle before the error is shown, so it can start again
        // and be closed.
        keeper_.Abandon();
        BackToIdle(playable, focusBack);
        throw;
    }
    keeper_.End(!FilenameEdit2->FileName().empty());
    BackToIdle(playable, focusBack);
}

void TMainForm::BackToIdle(bool playable, bool focusBack) {
    recording_ = false;
    StopPlayBtn->setEnabled(false);
    KonvertBtn->setEnabled(true);
    if (focusBack) {
        KonvertBtn->setFocus(Qt::OtherFocusReason);
    }
    PlayWAVBtn->setEnabled(playable); // still off when this recording began in a playback
    // The capture thread has ended: a trace it left is of a take that is over.
    captureLink_.DiscardTrace();
    traceToDraw_ = false;
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
    keeper_.SetSignalled();
    CancelFlag = true;       // ends a recording or a playback that runs
    guard_.SendToTerminal(); // nobody answers a box any more
    modalCloser_.CloseAll(); // their waits end, and with them whatever waits behind them
    if (!recording_) {
        close();
    }
}

bool TMainForm::WaitForSlowCall(std::chrono::milliseconds waited) {
    if (keeper_.Signalled() || waited >= kSlowCallLimit) {
        return false;
    }
    services_.events.ServeScreenOnly(std::chrono::milliseconds(20));
    return !keeper_.Signalled();
}

void TMainForm::SetMixerBtnClick(QObject*) {
    mixerSetup_.Apply(TrackBar1->value());
}

void TMainForm::RecordBtnClick(QObject*) {
    engine_.Start();
}

void TMainForm::StopBtnClick(QObject*) {
    engine_.Stop();
}

// Told once per take; the take itself goes on until "Abbrechen", so that it is saved.
void TMainForm::DeviceLost() {
    // Unless the take ended before the news arrived.
    if (recording_ && keeper_.DeviceLost(!captureLink_.OutputFileName().empty())) {
        CancelFlag = true;
    }
}

void TMainForm::RecordingSaved(const std::string& fileName) {
    keeper_.Saved(fileName);
    // So that "WAV Datei abspielen" plays what was written, wherever it went.
    if (FilenameEdit2->FileName() != fileName) {
        FilenameEdit2->SetText(FileNameRules::QuotedPath(fileName));
    }
}

void TMainForm::PlayWAVBtnClick(QObject*) {
    playback_.Play();
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
    if (!canvas || !std::exchange(traceToDraw_, false) || trace_.y.empty()) {
        return;
    }
    const QImage picture(reinterpret_cast<const uchar*>(tracePicture_.Pixels()),
                         tracePicture_.Width(), tracePicture_.Height(),
                         qsizetype(tracePicture_.Width()) * 4, QImage::Format_RGB32);
    canvas->drawImage(QPoint(0, 0), picture);
}

} // namespace tessmar
