// A whole recording from the window: buttons, wait, cancel, save, the command line, the
// close request and termination, on a recording device the test fills by hand.
#include "MainFormFixture.h"
#include "QtTestMain.h"
#include "app/FilenameEdit.h"
#include "app/PaintBox.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>

namespace tessmar::test {
namespace {

std::size_t SamplesIn(const std::string& path) {
    return std::filesystem::exists(path) ? std::filesystem::file_size(path) - 44 : 0;
}

// Runs `during` once the recording waits, the way the user's clicks would arrive. The
// recording is cancelled afterwards in any case, so a failed check can't hang the test.
void WhileRecording(TMainForm& form, std::function<void()> during) {
    QTimer::singleShot(0, &form, [&form, during = std::move(during)] {
        during();
        form.CancelFlag = true;
    });
}

// The waveform view as the screen shows it (a fresh rendering would repaint it).
QImage ShownView(TMainForm& form) {
    const QImage window = form.screen()->grabWindow(form.winId()).toImage();
    const QPoint at = form.PaintBox1->mapTo(&form, QPoint(0, 0));
    return window.copy(QRect(at, form.PaintBox1->size()));
}

// Fills the next block and waits until the capture thread has given it back.
bool Capture(MainFormFixture& f, std::uint8_t value) {
    return f.waveIn.WaitForQueued(2) && f.waveIn.Fill(4096, value) && f.waveIn.WaitForQueued(2);
}

bool Contains(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

} // namespace

class RecordingTest : public QObject {
    Q_OBJECT
private slots:
    void StartWaitCancelAndSave() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        const std::string file = f.dir / "take.wav";
        w.FilenameEdit2->SetFileName(file);
        w.show();
        w.Label4->setText("0:01 / 0:02");
        w.ProgressBar1->setValue(50);
        bool checked = false;
        WhileRecording(w, [&] {
            QVERIFY(!w.KonvertBtn->isEnabled());
            QVERIFY(w.StopPlayBtn->isEnabled());
            QVERIFY(!w.PlayWAVBtn->isEnabled()); // so a playback can't strand the recording
            QVERIFY(Capture(f, 1));
            QVERIFY(Capture(f, 2));
            checked = true;
            w.StopPlayBtn->click();
        });
        w.KonvertBtn->click();
        QVERIFY(checked);
        QCOMPARE(SamplesIn(file), 8192u);
        QVERIFY(w.KonvertBtn->isEnabled());
        QVERIFY(!w.StopPlayBtn->isEnabled());
        QVERIFY(w.PlayWAVBtn->isEnabled());
        QCOMPARE(w.Label4->text(), QString());
        QCOMPARE(w.ProgressBar1->value(), 0);
        QVERIFY(!f.mixer.calls().empty()); // the mixer was set up first
        QVERIFY(Contains(f.waveIn.Calls(), "close"));
    }

    void TheTraceIsDrawnOnceAndARepaintClearsIt() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        w.show();
        QImage drawn, repainted;
        WhileRecording(w, [&] {
            QVERIFY(f.waveIn.WaitForQueued(2));
            QVERIFY(f.waveIn.Fill(4096, 0x40)); // a constant: a flat line below the middle
            QVERIFY(QTest::qWaitFor([&] {
                drawn = ShownView(w);
                return drawn.pixelColor(100, 87) != drawn.pixelColor(100, 20);
            }));
            w.PaintBox1->repaint();
            repainted = ShownView(w);
        });
        w.KonvertBtn->click();
        const QColor maroon(128, 0, 0), lime(0, 255, 0);
        // 0x4040 = 16448 in the left channel: y = 16448 * 58 / 32767 + 58 = 87.
        QCOMPARE(drawn.pixelColor(100, 87), lime);
        QCOMPARE(drawn.pixelColor(100, 20), maroon);
        QCOMPARE(repainted.pixelColor(100, 87), maroon);
    }

    void CommandLineRecordsAtOnceAndEndsOnTermination() {
        MainFormFixture f("prog", {"ignored", "$DIR/cmd.wav", "250"});
        TMainForm& w = *f.form;
        const std::string file = f.dir / "cmd.wav";
        WhileRecording(w, [&] {
            QVERIFY(w.isVisible()); // so that "Abbrechen" can be reached
            QVERIFY(Capture(f, 7));
            w.RequestTermination(); // Ctrl+C or the session ending
        });
        w.show();
        QCOMPARE(w.TrackBar1->value(), 100);
        QCOMPARE(SamplesIn(file), 4096u);
        QVERIFY(!w.isVisible()); // and the program ends
    }

    void CommandLineVolumeAndNameRules() {
        {
            MainFormFixture f("prog", {"a", "$DIR/out1.wav", "abc"});
            WhileRecording(*f.form, [&] { f.form->StopPlayBtn->click(); });
            f.form->show();
            QCOMPARE(f.form->TrackBar1->value(), 30);
            QVERIFY(Contains(f.waveIn.Calls(), "start"));
        }
        {
            MainFormFixture f("prog", {"a", "$DIR/out2.wav", "-5"});
            WhileRecording(*f.form, [&] { f.form->StopPlayBtn->click(); });
            f.form->show();
            QCOMPARE(f.form->TrackBar1->value(), 0);
        }
        {
            MainFormFixture f("prog", {"a", "bad|name.wav", "50"});
            f.form->show(); // the error is shown and the program stays interactive
            QCOMPARE(f.messages.shown.size(), 1u);
            QCOMPARE(f.messages.shown[0].text, QString("Ungültiger Dateiname - bad|name.wav."));
            QCOMPARE(f.form->TrackBar1->value(), 30);
            QVERIFY(f.waveIn.Calls().empty());
            QVERIFY(f.form->isVisible());
        }
    }

    void ACloseRequestWaitsForTheRecording() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        const std::string file = f.dir / "closed.wav";
        w.FilenameEdit2->SetFileName(file);
        w.show();
        WhileRecording(w, [&] {
            QVERIFY(Capture(f, 3));
            w.close();
            QVERIFY(w.isVisible()); // the window stays, the recording goes on
            QVERIFY(Capture(f, 4));
            w.StopPlayBtn->click();
        });
        w.KonvertBtn->click();
        QCOMPARE(SamplesIn(file), 8192u);
        QVERIFY(!w.isVisible()); // saved, then closed
    }

    void AnUnwritableFileIsOfferedAnotherPlace() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        w.FilenameEdit2->SetFileName(f.dir / "missing/take.wav");
        f.dialog.answer = f.dir / "elsewhere.wav";
        w.show();
        WhileRecording(w, [&] {
            QVERIFY(Capture(f, 5));
            w.StopPlayBtn->click();
        });
        w.KonvertBtn->click();
        QCOMPARE(f.messages.shown.size(), 1u);
        QVERIFY(f.messages.shown[0].text.contains("missing/take.wav"));
        QCOMPARE(SamplesIn(f.dir / "elsewhere.wav"), 4096u);
    }

    void AFailedStartShowsTheErrorAndReturnsToIdle() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        w.show();
        f.waveIn.throwOnOpen = true;
        w.KonvertBtn->click();
        QCOMPARE(f.messages.shown.size(), 1u);
        QVERIFY(w.KonvertBtn->isEnabled());
        QVERIFY(w.PlayWAVBtn->isEnabled());
        QVERIFY(!w.StopPlayBtn->isEnabled());
        QVERIFY(!w.Recording());
    }

    void ARecordingWithoutADeviceSaysSo() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        w.show();
        f.waveIn.openResult = MMSYSERR_BADDEVICEID;
        WhileRecording(w, [&] { w.StopPlayBtn->click(); });
        w.KonvertBtn->click();
        QCOMPARE(f.messages.shown.size(), 1u);
        QVERIFY(f.messages.shown[0].text.startsWith("Das Aufnahmegerät lässt sich nicht öffnen: "));
        QVERIFY(w.KonvertBtn->isEnabled());

        f.waveIn.openResult = MMSYSERR_READERROR; // TESSMAR_INPUT=file: that can't be read
        WhileRecording(w, [&] { w.StopPlayBtn->click(); });
        w.KonvertBtn->click();
        QCOMPARE(f.messages.shown.size(), 2u);
        QVERIFY(f.messages.shown[1].text.startsWith("Die Eingabedatei (TESSMAR_INPUT) lässt sich "
                                                    "nicht lesen"));
    }

    void ClosingTheWindowEndsAPlayback() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        w.FilenameEdit2->SetFileName(f.dir / "take.wav");
        w.show();
        f.mediaDevice.length = 3600000;
        f.mediaDevice.positions = std::vector<std::int32_t>(1000000, 1000); // plays "for ever"
        QTimer::singleShot(20, &w, [&] { w.close(); });
        w.PlayWAVBtn->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(f.playerLog.back(), std::string("close"));
    }

    void PlaybackFromTheWindow() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        w.FilenameEdit2->SetFileName(f.dir / "take.wav");
        w.show();
        f.mediaDevice.openResult = mci::MCIERR_FILE_NOT_FOUND;
        w.PlayWAVBtn->click();
        QCOMPARE(f.messages.shown.size(), 1u);
        QCOMPARE(f.messages.shown[0].caption, QString("Tessmar"));
        QVERIFY(w.PlayWAVBtn->isEnabled());

        f.mediaDevice.openResult = mci::MMSYSERR_NOERROR;
        f.mediaDevice.length = 83456;
        f.mediaDevice.positions = std::vector<std::int32_t>(1000, 61999);
        f.mediaDevice.positions[0] = 5200;
        // Looks at the window between the playback's passes, and cancels once it has seen
        // the second position.
        QStringList shown;
        QTimer look;
        connect(&look, &QTimer::timeout, &w, [&] {
            shown << w.Label4->text() + " " + QString::number(w.ProgressBar1->value());
            QVERIFY(!w.PlayWAVBtn->isEnabled());
            if (w.ProgressBar1->value() == 74) {
                w.StopPlayBtn->click();
            }
        });
        look.start(5);
        w.PlayWAVBtn->click();
        look.stop();
        QCOMPARE(shown.last(), QString("1:01 / 1:23 74"));
        QCOMPARE(w.Label4->text(), QString());
        QVERIFY(w.PlayWAVBtn->isEnabled());
        QVERIFY(!w.StopPlayBtn->isEnabled());
    }
};

} // namespace tessmar::test

TESSMAR_QTEST_MAIN(tessmar::test::RecordingTest)
#include "RecordingTest.moc"
