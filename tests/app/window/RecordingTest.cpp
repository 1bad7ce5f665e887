// SPDX-License-Identifier: GPL-3.0-or-later
// A whole recording from the window: buttons, wait, cancel, save, the close request, a
// lost device and playback, on a recording device the test fills by hand. The command
// line and the termination signals are in CommandLineTakeTest.cpp.
#include "MainFormFixture.h"
#include "QtTestMain.h"
#include "TakeHelpers.h"
#include "app/controls/FilenameEdit.h"
#include "app/controls/PaintBox.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>

namespace tessmar::test {
namespace {

// The waveform view as the screen shows it (a fresh rendering would repaint it).
QImage ShownView(TMainForm& form) {
    const QImage window = form.screen()->grabWindow(form.winId()).toImage();
    const QPoint at = MainFormProbe(form).PaintBox1->mapTo(&form, QPoint(0, 0));
    return window.copy(QRect(at, MainFormProbe(form).PaintBox1->size()));
}

} // namespace

class RecordingTest : public QObject {
    Q_OBJECT
private slots:
    void StartWaitCancelAndSave() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        const std::string file = f.dir / "take.wav";
        ui.FilenameEdit2->SetFileName(file);
        w.show();
        ui.Label4->setText("0:01 / 0:02");
        ui.ProgressBar1->setValue(50);
        bool checked = false;
        WhileRecording(w, [&] {
            QVERIFY(!ui.KonvertBtn->isEnabled());
            QVERIFY(ui.StopPlayBtn->isEnabled());
            QVERIFY(!ui.PlayWAVBtn->isEnabled()); // so a playback can't strand the recording
            QVERIFY(Capture(f, 1));
            QVERIFY(Capture(f, 2));
            checked = true;
            ui.StopPlayBtn->click();
        });
        ui.KonvertBtn->click();
        QVERIFY(checked);
        QCOMPARE(SamplesIn(file), 8192u);
        QVERIFY(ui.KonvertBtn->isEnabled());
        QVERIFY(!ui.StopPlayBtn->isEnabled());
        QVERIFY(ui.PlayWAVBtn->isEnabled());
        QCOMPARE(ui.Label4->text(), QString());
        QCOMPARE(ui.ProgressBar1->value(), 0);
        QVERIFY(!f.mixer.calls().empty()); // the mixer was set up first
        QVERIFY(Contains(f.waveIn.Calls(), "close"));
    }

    void TheTraceIsDrawnOnceAndARepaintClearsIt() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        w.show();
        QImage drawn, repainted;
        WhileRecording(w, [&] {
            QVERIFY(f.waveIn.WaitForQueued(2));
            QVERIFY(f.waveIn.Fill(4096, 0x40)); // a constant: a flat line below the middle
            QVERIFY(QTest::qWaitFor([&] {
                drawn = ShownView(w);
                return drawn.pixelColor(100, 87) != drawn.pixelColor(100, 20);
            }));
            ui.PaintBox1->repaint();
            repainted = ShownView(w);
        });
        ui.KonvertBtn->click();
        const QColor maroon(128, 0, 0), lime(0, 255, 0);
        // 0x4040 = 16448 in the left channel: y = 16448 * 58 / 32767 + 58 = 87.
        QCOMPARE(drawn.pixelColor(100, 87), lime);
        QCOMPARE(drawn.pixelColor(100, 20), maroon);
        QCOMPARE(repainted.pixelColor(100, 87), maroon);
    }

    void ACloseRequestWaitsForTheRecording() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        const std::string file = f.dir / "closed.wav";
        ui.FilenameEdit2->SetFileName(file);
        w.show();
        WhileRecording(w, [&] {
            QVERIFY(Capture(f, 3));
            w.close();
            QVERIFY(w.isVisible()); // the window stays, the recording goes on
            QVERIFY(Capture(f, 4));
            ui.StopPlayBtn->click();
        });
        ui.KonvertBtn->click();
        QCOMPARE(SamplesIn(file), 8192u);
        QVERIFY(!w.isVisible()); // saved, then closed
    }

    // Whoever asked to close the window is still there to be asked.
    void AfterACloseRequestTheUserIsStillAsked() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        ui.FilenameEdit2->SetFileName(f.dir / "missing/take.wav");
        f.dialog.answer = f.dir / "chosen.wav";
        w.show();
        WhileRecording(w, [&] {
            QVERIFY(Capture(f, 3));
            w.close();
        });
        ui.KonvertBtn->click();
        QCOMPARE(f.dialog.requests.size(), 1u);
        QCOMPARE(SamplesIn(f.dir / "chosen.wav"), 4096u);
        QVERIFY(!w.isVisible());
    }

    void AnUnwritableFileIsOfferedAnotherPlace() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        ui.FilenameEdit2->SetFileName(f.dir / "missing/take.wav");
        f.dialog.answer = f.dir / "elsewhere.wav";
        w.show();
        WhileRecording(w, [&] {
            QVERIFY(Capture(f, 5));
            ui.StopPlayBtn->click();
        });
        ui.KonvertBtn->click();
        QCOMPARE(f.messages.shown.size(), 1u);
        QVERIFY(f.messages.shown[0].text.contains("missing/take.wav"));
        QCOMPARE(SamplesIn(f.dir / "elsewhere.wav"), 4096u);
    }

    // A file from before is replaced only on "Ja"; "Nein" leads to the dialog. What this run
    // wrote itself is replaced silently, and nobody left to answer means the fallback.
    void AnEarlierTakeIsReplacedOnlyWhenTheUserSaysSo() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        const std::string old = f.dir / "old.wav", chosen = f.dir / "chosen.wav";
        std::filesystem::create_directory(f.dir / "home");
        test::WriteBytes(old, "yesterday's take");
        const auto take = [&](const std::string& file, std::uint8_t value) {
            ui.FilenameEdit2->SetFileName(file);
            WhileRecording(w, [&] {
                QVERIFY(Capture(f, value));
                ui.StopPlayBtn->click();
            });
            ui.KonvertBtn->click();
        };
        w.show();
        f.dialog.answer = chosen;
        take(old, 1);
        QCOMPARE(f.messages.asked.size(), 1u);
        QVERIFY(f.messages.asked[0].text.contains("old.wav\" gibt es schon"));
        QCOMPARE(SamplesIn(chosen), 4096u);
        take(chosen, 2); // the practice loop: no question
        QCOMPARE(f.messages.asked.size(), 1u);
        f.messages.whileShown = [&] { w.RequestTermination(); };
        take(old, 3);
        QCOMPARE(f.messages.asked.size(), 2u);
        QCOMPARE(std::filesystem::file_size(old), 16u);
        QCOMPARE(f.dialog.requests.size(), 1u);
        const std::vector<std::string>& said = w.Outcome().Said();
        QVERIFY(std::any_of(said.begin(), said.end(), [&](const std::string& line) {
            return line.find("niemand konnte gefragt werden") != std::string::npos &&
                   line.find(f.dir / "home") != std::string::npos;
        }));
    }

    void AFailedStartShowsTheErrorAndReturnsToIdle() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        w.show();
        f.waveIn.throwOnOpen = true;
        ui.KonvertBtn->click();
        QCOMPARE(f.messages.shown.size(), 1u);
        QVERIFY(ui.KonvertBtn->isEnabled());
        QVERIFY(ui.PlayWAVBtn->isEnabled());
        QVERIFY(!ui.StopPlayBtn->isEnabled());
        QVERIFY(!w.Recording());
    }

    void ARecordingWithoutADeviceSaysSo() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        w.show();
        f.waveIn.openResult = MMSYSERR_BADDEVICEID;
        WhileRecording(w, [&] { ui.StopPlayBtn->click(); });
        ui.KonvertBtn->click();
        QCOMPARE(f.messages.shown.size(), 1u);
        QVERIFY(f.messages.shown[0].text.startsWith("Das Aufnahmegerät lässt sich nicht öffnen: "));
        QVERIFY(ui.KonvertBtn->isEnabled());

        f.waveIn.openResult = MMSYSERR_READERROR; // TESSMAR_INPUT=file: that can't be read
        WhileRecording(w, [&] { ui.StopPlayBtn->click(); });
        ui.KonvertBtn->click();
        QCOMPARE(f.messages.shown.size(), 2u);
        QVERIFY(f.messages.shown[1].text.startsWith("Die Eingabedatei (TESSMAR_INPUT) lässt sich "
                                                    "nicht lesen"));
    }

    void TheViewIsPlainOnceTheTakeIsOver() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // The last block comes while the window's thread is busy stopping: its trace is
        // still waiting when the view is repainted for the end.
        f.events.next = [&] {
            QVERIFY(Capture(f, 0x40));
            f.events.holding = true;
            ui.CancelFlag = true;
        };
        ui.KonvertBtn->click();
        f.events.holding = false;
        const QImage view = ShownView(w);
        const QColor maroon(128, 0, 0);
        QCOMPARE(view.size(), ui.PaintBox1->size());
        for (int y = 0; y < view.height(); y += 3) {
            QCOMPARE(view.pixelColor(100, y), maroon);
        }
    }

    void TheFileFieldNamesWhatWasWritten() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        ui.FilenameEdit2->SetFileName(f.dir / "missing/take.wav");
        const std::string chosen = f.dir / "my takes/chosen.wav";
        std::filesystem::create_directory(f.dir / "my takes");
        f.dialog.answer = chosen;
        w.show();
        WhileRecording(w, [&] { QVERIFY(Capture(f, 5)); });
        ui.KonvertBtn->click();
        QCOMPARE(SamplesIn(chosen), 4096u);
        QCOMPARE(ui.FilenameEdit2->FileName(), chosen);
        QCOMPARE(ui.FilenameEdit2->text(), QString::fromStdString("\"" + chosen + "\""));
        QVERIFY(!w.Outcome().Failed()); // the user chose it
        f.mediaDevice.length = 1000;
        f.mediaDevice.positions = {1000};
        ui.PlayWAVBtn->click(); // plays what was written
        QVERIFY(Contains(f.playerLog, "open " + chosen));
    }

    void AStopThatThrowsStillEndsIdle() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        ui.FilenameEdit2->SetFileName(f.dir / "take.wav");
        w.show();
        f.waveIn.throwOnStop = true;
        WhileRecording(w, [&] { QVERIFY(Capture(f, 6)); });
        ui.KonvertBtn->click();
        QCOMPARE(f.messages.shown.size(), 1u);
        QVERIFY(f.messages.shown[0].text.contains("anhalten"));
        QVERIFY(!w.Recording());
        QVERIFY(ui.KonvertBtn->isEnabled());
        QVERIFY(!ui.StopPlayBtn->isEnabled());
        QVERIFY(ui.PlayWAVBtn->isEnabled());
        QVERIFY(Contains(f.waveIn.Calls(), "close")); // the device was closed all the same
        QCOMPARE(SamplesIn(f.dir / "take.wav"), 4096u);

        f.waveIn.throwOnStop = false; // and the next take works
        WhileRecording(w, [&] { QVERIFY(Capture(f, 7)); });
        ui.KonvertBtn->click();
        QCOMPARE(f.messages.shown.size(), 1u);
        w.close();
        QVERIFY(!w.isVisible()); // the window can be closed
    }

    void ALostDeviceIsToldOnceAndTheTakeIsKept() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        const std::string file = f.dir / "lost.wav";
        ui.FilenameEdit2->SetFileName(file);
        w.show();
        WhileRecording(w, [&] {
            QVERIFY(Capture(f, 1));
            QVERIFY(f.waveIn.WaitForQueued(2) && f.waveIn.Fill(1000, 2)); // half a block
            f.waveIn.Lose();
            QVERIFY(QTest::qWaitFor([&] { return !f.messages.shown.empty(); }));
            QTest::qWait(50);
            QVERIFY(ui.StopPlayBtn->isEnabled()); // the take waits for "Abbrechen"
            ui.StopPlayBtn->click();
        });
        ui.KonvertBtn->click();
        QCOMPARE(f.messages.shown.size(), 1u);
        QCOMPARE(f.messages.shown[0].text,
                 QString("Das Aufnahmegerät ist nicht mehr erreichbar. Das bisher Aufgenommene "
                         "bleibt erhalten und wird mit \"Abbrechen\" gespeichert."));
        QCOMPARE(SamplesIn(file), 4096u + 1000u);
    }

    void ClosingTheWindowEndsAPlayback() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        ui.FilenameEdit2->SetFileName(f.dir / "take.wav");
        w.show();
        f.mediaDevice.length = 3600000;
        f.mediaDevice.positions = std::vector<std::int32_t>(1000000, 1000); // plays "for ever"
        QTimer::singleShot(20, &w, [&] { w.close(); });
        ui.PlayWAVBtn->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(f.playerLog.back(), std::string("close"));
    }

    void PlaybackFromTheWindow() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        ui.FilenameEdit2->SetFileName(f.dir / "take.wav");
        w.show();
        f.mediaDevice.openResult = mci::MCIERR_FILE_NOT_FOUND;
        ui.PlayWAVBtn->click();
        QCOMPARE(f.messages.shown.size(), 1u);
        QCOMPARE(f.messages.shown[0].caption, QString("Tessmar"));
        QVERIFY(ui.PlayWAVBtn->isEnabled());

        f.mediaDevice.openResult = mci::MMSYSERR_NOERROR;
        f.mediaDevice.length = 83456;
        f.mediaDevice.positions = std::vector<std::int32_t>(1000, 61999);
        f.mediaDevice.positions[0] = 5200;
        // Looks at the window between the playback's passes, and cancels once it has seen
        // the second position.
        QStringList shown;
        QTimer look;
        connect(&look, &QTimer::timeout, &w, [&] {
            shown << ui.Label4->text() + " " + QString::number(ui.ProgressBar1->value());
            QVERIFY(!ui.PlayWAVBtn->isEnabled());
            if (ui.ProgressBar1->value() == 74) {
                ui.StopPlayBtn->click();
            }
        });
        look.start(5);
        ui.PlayWAVBtn->click();
        look.stop();
        QCOMPARE(shown.last(), QString("1:01 / 1:23 74"));
        QCOMPARE(ui.Label4->text(), QString());
        QVERIFY(ui.PlayWAVBtn->isEnabled());
        QVERIFY(!ui.StopPlayBtn->isEnabled());
    }
};

} // namespace tessmar::test

TESSMAR_QTEST_MAIN(tessmar::test::RecordingTest)
#include "RecordingTest.moc"
