// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line take and the termination signals: what the program records, says and
// ends with when nobody sits at the window, on a recording device the test fills by hand.
#include "MainFormFixture.h"
#include "QtTestMain.h"
#include "TakeHelpers.h"
#include "app/controls/FilenameEdit.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>

namespace tessmar::test {

class CommandLineTakeTest : public QObject {
    Q_OBJECT
private slots:
    void CommandLineRecordsAtOnceAndEndsOnTermination() {
        MainFormFixture f("prog", {"ignored", "$DIR/cmd.wav", "250"});
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        const std::string file = f.dir / "cmd.wav";
        WhileRecording(w, [&] {
            QVERIFY(w.isVisible()); // so that "Abbrechen" can be reached
            QVERIFY(Capture(f, 7));
            w.RequestTermination(); // Ctrl+C or the session ending
        });
        w.show();
        QCOMPARE(ui.TrackBar1->value(), 100);
        QCOMPARE(SamplesIn(file), 4096u);
        QVERIFY(!w.isVisible()); // and the program ends
    }

    void CommandLineVolumeAndNameRules() {
        {
            MainFormFixture f("prog", {"a", "$DIR/out1.wav", "abc"});
            WhileRecording(*f.form, [&] { f.ui().StopPlayBtn->click(); });
            f.form->show();
            QCOMPARE(f.ui().TrackBar1->value(), 30);
            QVERIFY(Contains(f.waveIn.Calls(), "start"));
            QVERIFY(
                Contains(f.form->Outcome().Said(),
                         "Die Lautstärke \"abc\" ist keine ganze Zahl; aufgenommen wird mit 30."));
        }
        {
            MainFormFixture f("prog", {"a", "$DIR/out2.wav", "-5"});
            WhileRecording(*f.form, [&] { f.ui().StopPlayBtn->click(); });
            f.form->show();
            QCOMPARE(f.ui().TrackBar1->value(), 0);
            QVERIFY(Contains(f.form->Outcome().Said(), "Die Lautstärke \"-5\" liegt außerhalb "
                                                       "von 0 bis 100; aufgenommen wird mit 0."));
        }
        {
            MainFormFixture f("prog", {"a", "bad|name.wav", "50"});
            f.form->show(); // the error is shown and the program stays interactive
            QCOMPARE(f.messages.shown.size(), 1u);
            QCOMPARE(f.messages.shown[0].text, QString("Ungültiger Dateiname - bad|name.wav."));
            QCOMPARE(f.ui().TrackBar1->value(), 30);
            QVERIFY(f.waveIn.Calls().empty());
            QVERIFY(f.form->isVisible());
        }
    }

    // Nobody answers in command-line mode: no dialog; the take goes to the home folder,
    // which is said, and the run fails.
    void ACommandLineTakeThatCantBeWrittenGoesHome() {
        const std::string longName(5000, 'n');
        for (const std::string& target :
             {std::string("$DIR/missing/take.wav"), std::string("/proc/take.wav"),
              std::string("/dev/full"), std::string("$DIR"), "$DIR/" + longName + ".wav"}) {
            MainFormFixture f("prog", {"x", target});
            std::filesystem::create_directory(f.dir / "home");
            WhileRecording(*f.form, [&] { QVERIFY(Capture(f, 8)); });
            f.form->show();
            QVERIFY(f.dialog.requests.empty());
            QVERIFY(f.messages.shown.empty()); // the box would wait for nobody
            std::vector<std::filesystem::path> home;
            for (const auto& entry : std::filesystem::directory_iterator(f.dir / "home")) {
                home.push_back(entry.path());
            }
            QCOMPARE(home.size(), std::size_t(1));
            QVERIFY(QString::fromStdString(home[0].filename())
                        .contains(QRegularExpression("^tessmar-\\d{8}-\\d{6}\\.wav$")));
            QCOMPARE(SamplesIn(home[0]), 4096u);
            QVERIFY(f.form->Outcome().Failed());
            const std::string said = f.form->Outcome().Said().back();
            QVERIFY2(said.find(home[0].string()) != std::string::npos, said.c_str());
            QCOMPARE(f.ui().FilenameEdit2->FileName(), home[0].string());
        }
    }

    void ACommandLineTakeSavedToItsFileSucceeds() {
        MainFormFixture f("prog", {"x", "$DIR/take.wav"});
        WhileRecording(*f.form, [&] { QVERIFY(Capture(f, 9)); });
        f.form->show();
        QCOMPARE(SamplesIn(f.dir / "take.wav"), 4096u);
        QVERIFY(!f.form->Outcome().Failed());
        QVERIFY(f.form->Outcome().Said().empty());
    }

    // The signal comes while the box about the missing device is up, before the take
    // waits: the box closes, the take ends at once, and the run fails saying why.
    void ASignalInTheDeviceBoxEndsTheTake() {
        MainFormFixture f("prog", {"x", "$DIR/take.wav"});
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        f.waveIn.openResult = MMSYSERR_BADDEVICEID;
        f.messages.whileShown = [&] { w.RequestTermination(); };
        QTimer hangGuard;
        hangGuard.callOnTimeout(&w, [&] { ui.CancelFlag = true; });
        hangGuard.start(5000);
        QElapsedTimer took;
        took.start();
        w.show();
        QVERIFY(took.elapsed() < 4000); // not through the hang guard
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Recording());
        QVERIFY(w.Outcome().Failed());
        QVERIFY(w.Outcome().Said().front().find("Aufnahmegerät") != std::string::npos);
        QVERIFY(w.Outcome().Said().back().find("nichts aufgenommen") != std::string::npos);
    }

    // Interactive: the signal closes the box or the dialog about the unwritable file. Its
    // unanswered question is no "no": the take goes to the home folder.
    void ASignalWhileTheUserIsAskedSavesTheTakeElsewhere() {
        for (const bool inTheDialog : {false, true}) {
            MainFormFixture f;
            TMainForm& w = *f.form;
            MainFormProbe ui(w);
            std::filesystem::create_directory(f.dir / "home");
            ui.FilenameEdit2->SetFileName(f.dir / "missing/take.wav");
            f.dialog.answer = f.dir / "missing/too.wav";
            if (inTheDialog) {
                f.dialog.whileShown = [&] {
                    w.RequestTermination();
                    return true;
                };
            } else {
                f.messages.whileShown = [&] { w.RequestTermination(); };
            }
            w.show();
            WhileRecording(w, [&] { QVERIFY(Capture(f, 10)); });
            ui.KonvertBtn->click();
            QCOMPARE(f.dialog.requests.size(), inTheDialog ? 1u : 0u);
            const std::string saved = ui.FilenameEdit2->FileName();
            QCOMPARE(std::filesystem::path(saved).parent_path(), f.dir / "home");
            QCOMPARE(SamplesIn(saved), 4096u);
            QVERIFY(!w.isVisible());        // and the program ends
            QVERIFY(!w.Outcome().Failed()); // not a command-line take, but it is said where
            QVERIFY(w.Outcome().Said().back().find(saved) != std::string::npos);
        }
    }

    // A signal before the take has begun: it ends as soon as it starts.
    void ASignalBeforeTheTakeEndsItAtOnce() {
        MainFormFixture f("prog", {"x", "$DIR/take.wav"});
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        w.RequestTermination();
        QTimer hangGuard;
        hangGuard.callOnTimeout(&w, [&] { ui.CancelFlag = true; });
        hangGuard.start(5000);
        QElapsedTimer took;
        took.start();
        w.show();
        QVERIFY(took.elapsed() < 4000);
        QVERIFY(!w.isVisible());
        QVERIFY(w.Outcome().Failed());
        QVERIFY(w.Outcome().Said().back().find("nichts aufgenommen") != std::string::npos);
    }

    void ALostDeviceEndsACommandLineTakeWithStatus1() {
        MainFormFixture f("prog", {"x", "$DIR/cmd.wav"});
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        QTimer::singleShot(0, &w, [&] {
            QVERIFY(Capture(f, 7));
            f.waveIn.Lose();
        });
        QTimer guard; // hang guard only
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, &w, [&] { ui.CancelFlag = true; });
        guard.start(10000);
        w.show(); // records until the device goes
        guard.stop();
        QCOMPARE(SamplesIn(f.dir / "cmd.wav"), 4096u);
        QVERIFY(f.messages.shown.empty()); // nobody to click it away
        QVERIFY(w.Outcome().Failed());     // exit status 1, and why
        QVERIFY(w.Outcome().Said().front().find("nicht mehr erreichbar") != std::string::npos);
    }
};

} // namespace tessmar::test

TESSMAR_QTEST_MAIN(tessmar::test::CommandLineTakeTest)
#include "CommandLineTakeTest.moc"
