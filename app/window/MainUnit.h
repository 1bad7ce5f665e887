// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/capture/CaptureLink.h"
#include "app/capture/WaveformPicture.h"
#include "app/placement/MainFormPlacement.h"
#include "app/recording/RunOutcome.h"
#include "app/recording/TakeKeeper.h"
#include "app/window/HandlerGuard.h"
#include "app/window/ModalWindowCloser.h"
#include "app/window/PlaybackLink.h"
#include "audio/CaptureEngine.h"
#include "audio/PlaybackController.h"
#include "mixer/MixerSetup.h"
#include "platform/playback/TMediaPlayer.h"
#include "platform/threads/LatencyLog.h"

#include <QWidget>
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSlider;

namespace tessmar {

class EventPump;
class MediaPlayerDevice;
class MixerApi;
class ProfileStore;
class SaveDialog;
class ScreenMetrics;
class TAboutBox;
class TBevel;
class TFilenameEdit;
class TPaintBox;
class WaveInApi;
namespace test {
struct MainFormProbe;
}

// The platform services and facts the main window works with.
struct MainFormServices {
    ProfileStore& profile;
    SaveDialog& saveDialog;
    MessageBox& messages;
    ScreenMetrics& screen;
    std::string programFile; // full path of the running program
    std::string homeFolder;
    WaveInApi& waveIn;
    MixerApi& mixer;
    MediaPlayerDevice& mediaDevice;
    EventPump& events;
    std::vector<std::string> arguments; // the command line without the program name
    // Where takes are journaled as they are captured (the first that can be had) and where
    // interrupted ones are looked for at the start; none: no journal.
    std::vector<std::string> journalFolders = {};
};

// The program's main window: output file, volume, waveform view, the note column and the
// buttons for recording and playback.
class TMainForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 548;
    static constexpr int kClientHeight = 392;
    static constexpr const char* kCaption = "Korvana Lirapex 1.0";

    explicit TMainForm(const MainFormServices& services, QWidget* parent = nullptr);
    ~TMainForm() override;

    void SetAboutBox(TAboutBox* box) { aboutBox_ = box; }

    // Detects the note of one capture block and shows it. Safe to call from the capture
    // thread: it never waits for the window's thread; the window shows the result of the
    // most recent call as soon as its thread gets to it.
    void AnalizeFrequenz(const std::uint8_t* block);

    // SIGINT, SIGTERM, SIGHUP: every modal window closes as if cancelled, a running
    // recording ends as with "Abbrechen" and is saved (where nobody is asked any more),
    // then the program ends.
    void RequestTermination();
    // A device or file is slow to open (the sound server stopped, say): meanwhile the
    // window repaints and hears signals, but no other handler of it runs. False, to give
    // the call up, after a signal or once it has taken kSlowCallLimit.
    bool WaitForSlowCall(std::chrono::milliseconds waited);
    static constexpr std::chrono::seconds kSlowCallLimit{10};
    bool Recording() const { return recording_; }
    bool TerminationRequested() const { return terminationRequested_; }
    // What the program's exit status and standard error report; a command-line take that
    // isn't in its file fails it.
    RunOutcome& Outcome() { return outcome_; }

    // Event handlers; Sender is ignored.
    void FormCreate(QObject* Sender);
    void FormShow(QObject* Sender);
    void KonvertBtnClick(QObject* Sender);
    void StopPlayBtnClick(QObject* Sender);
    void SetMixerBtnClick(QObject* Sender);
    void RecordBtnClick(QObject* Sender);
    void StopBtnClick(QObject* Sender);
    void PlayWAVBtnClick(QObject* Sender);
    void AboutBtnClick(QObject* Sender);
    void PaintBox1Paint(QObject* Sender);

    // Runs a handler so that its errors end it with a message and never reach Qt.
    template <class Handler> void Guarded(Handler&& handler) noexcept {
        guard_.Run(this, std::forward<Handler>(handler));
    }

    double LayoutScale() const { return scale_; }
    const std::array<QLabel*, 12>& PlainNoteLabels() const { return plainNotes_; }
    const std::array<QLabel*, 12>& LitNoteLabels() const { return litNotes_; }

public slots:
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The window's side of the playback reads and clears the cancel flag and sets the
    // controls it names; the tests' probe looks at both.
    friend class PlaybackLink;
    friend struct test::MainFormProbe;

    // Set by "Abbrechen" (StopPlayBtnClick), and by whatever else ends a take or a playback
    // (a signal, the window closing, a device lost unattended); each clears it as it starts.
    bool CancelFlag = false;

    // Controls in stacking order: later ones lie above earlier ones.
    QLabel *Label2{}, *Label3{}, *Label4{}, *Label1{};
    TBevel* Bevel1{};
    QLabel *Label5{}, *Label6{}, *Label7{}, *Label8{}, *Label9{}, *Label10{};
    QLabel *Label11{}, *Label12{}, *Label13{}, *Label14{}, *Label15{}, *Label16{};
    QLabel *Label17{}, *Label18{}, *Label19{}, *Label20{}, *Label21{}, *Label22{};
    QLabel *Label23{}, *Label24{}, *Label25{}, *Label26{}, *Label27{}, *Label28{};
    QLabel *Label29{}, *Label30{};
    QPushButton *KonvertBtn{}, *StopPlayBtn{};
    TFilenameEdit* FilenameEdit2{};
    QSlider* TrackBar1{};
    QPushButton *SetMixerBtn{}, *RecordBtn{}, *StopBtn{};
    QScrollArea* ScrollBox1{};
    TPaintBox* PaintBox1{};
    QProgressBar* ProgressBar1{};
    QPushButton *AboutBtn{}, *PlayWAVBtn{};
    QWidget* MediaPlayer1{};

    // Label4, sized to its text.
    void ShowPlaybackTime(const QString& text) { SetAutoSizedText(Label4, text); }
    void ShowLatestBlock();
    void DrawWaveformTrace();
    void RecordingSaved(const std::string& fileName);
    void DeviceLost();
    void WaitForCancel();
    void BackToIdle(bool playable, bool focusBack);
    void BuildControls();
    void BuildNoteColumn();
    void DescribeControls();
    void ConnectHandlers();
    void ShowNote(std::int32_t note);
    QRect Px(int left, int top, int width, int height) const;
    QLabel* AddLabel(const char* name, const QString& text, int left, int top, int width);
    QLabel* PlaceLabel(QLabel* label, const char* name, int left, int top, int width);
    QPushButton* AddButton(const char* name, const QString& text, QRect geometry);
    void SetAutoSizedText(QLabel* label, const QString& text);

    MainFormServices services_;
    HandlerGuard guard_;
    RunOutcome outcome_;
    TakeKeeper keeper_; // outlives the engine, whose capture thread writes to its journal
    ModalWindowCloser modalCloser_;
    MainFormPlacement placement_;
    TAboutBox* aboutBox_ = nullptr;
    double scale_ = 1.0;
    bool shown_ = false;
    std::array<QLabel*, 12> plainNotes_{};
    std::array<QLabel*, 12> litNotes_{};
    CaptureLink captureLink_;
    WaveformTrace trace_;                   // the newest block's, drawn once
    bool traceToDraw_ = false;              // until the paint after its arrival
    std::optional<std::int32_t> shownNote_; // by the labels; none before the first
    std::array<int, 128> noteNameWidths_{}; // Label1's for each note's name; 0 until shown
    WaveformPicture tracePicture_;          // the newest trace, as the view shows it
    LatencyLog latency_;
    CaptureEngine engine_;
    MixerSetup mixerSetup_;
    TMediaPlayer player_; // the device behind the hidden MediaPlayer1 control
    PlaybackLink playbackLink_{*this};
    PlaybackController playback_;
    bool recording_ = false;            // from the start of a take until it is back to idle
    bool terminationRequested_ = false; // by a signal, or a close request during a take
};

} // namespace tessmar
