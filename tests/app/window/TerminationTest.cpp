// SPDX-License-Identifier: GPL-3.0-or-later
// Real signals against the real desktop services: whatever modal window is up, SIGINT,
// SIGTERM and SIGHUP end the take, save it and end the program.
#include "FakeDesktop.h"
#include "FakeProfile.h"
#include "FakeSound.h"
#include "MainFormProbe.h"
#include "QtTestMain.h"
#include "app/about/AboutBoxUnit.h"
#include "app/controls/FilenameEdit.h"
#include "app/window/MainUnit.h"
#include "platform/desktop/QtMessageBox.h"
#include "platform/desktop/QtSaveDialog.h"
#include "platform/desktop/TerminationSignals.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cerrno>
#include <csignal>
#include <functional>

namespace tessmar::test {
namespace {

std::size_t SamplesIn(const std::string& path) {
    return std::filesystem::exists(path) ? std::filesystem::file_size(path) - 44 : 0;
}

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files.push_back(entry.path());
    }
    return files;
}

// The program as main() puts it together, with the real message box, save dialog and
// About window, and the recording device and mixer as fakes.
struct Program : FakeSound {
    explicit Program(std::vector<std::string> arguments = {}) {
        std::filesystem::create_directories(dir / "prog");
        std::filesystem::create_directories(dir / "home");
        for (std::string& argument : arguments) {
            if (const auto at = argument.find("$DIR"); at != std::string::npos) {
                argument.replace(at, 4, dir.path().string());
            }
        }
        form = std::make_unique<TMainForm>(
            MainFormServices{profile, dialog, messages, screen, dir / "prog/tessmar", dir / "home",
                             waveIn, mixer, mediaDevice, events, std::move(arguments)});
        about = std::make_unique<TAboutBox>(shell, screen, form.get());
        form->SetAboutBox(about.get());
        QObject::connect(&termination, &TerminationSignals::Requested, form.get(),
                         [this] { form->RequestTermination(); });
        // Should a signal fail to end the wait, the test still ends, and says so.
        hangGuard.setSingleShot(true);
        hangGuard.callOnTimeout([this] {
            hung = true;
            while (QWidget* modal = QApplication::activeModalWidget()) {
                modal->hide();
            }
            ui().CancelFlag = true;
        });
        hangGuard.start(10000);
    }

    // Raises `signal` once a modal window that `which` accepts is up.
    void RaiseWhenModal(int signal, std::function<bool(QWidget*)> which = {}) {
        auto* poll = new QTimer(form.get());
        QObject::connect(poll, &QTimer::timeout, poll, [poll, signal, which] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->isVisible() && (!which || which(modal))) {
                poll->deleteLater();
                std::raise(signal);
            }
        });
        poll->start(5);
    }

    // Fills the next block and waits until the capture thread has given it back.
    bool Capture(std::uint8_t value) {
        return waveIn.WaitForQueued(2) && waveIn.Fill(4096, value) && waveIn.WaitForQueued(2);
    }

    TempDir dir;
    FakeProfile profile;
    QtSaveDialog dialog;
    QtMessageBox messages;
    FakeScreen screen;
    FakeShell shell;
    TerminationSignals termination;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TAboutBox> about;
    QTimer hangGuard;
    bool hung = false;

    MainFormProbe ui() { return MainFormProbe(*form); }
};

} // namespace

class TerminationTest : public QObject {
    Q_OBJECT
private slots:
    void EverySignalIsARequestAndErrnoIsKept() {
        TerminationSignals termination;
        QSignalSpy requested(&termination, &TerminationSignals::Requested);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            const int before = requested.count();
            std::raise(signal);
            QTRY_COMPARE(requested.count(), before + 1);
        }
        // With the pipe full the handler's write fails: the interrupted code's errno stays.
        for (int i = 0; i < 200000; ++i) {
            std::raise(SIGHUP);
        }
        errno = EDOM;
        std::raise(SIGTERM);
        QCOMPARE(errno, EDOM);
        QTRY_VERIFY(requested.count() >= 4);
    }

    // The case: no recording device in command-line mode, the box about it up.
    void SIGINTInTheDeviceBoxEndsTheCommandLineTake() {
        Program p({"x", "$DIR/take.wav", "40"});
        p.waveIn.openResult = MMSYSERR_BADDEVICEID;
        p.RaiseWhenModal(SIGINT);
        p.form->show();
        QVERIFY(!p.hung);
        QVERIFY(!p.form->isVisible());
        QVERIFY(p.form->Outcome().Failed());
        QVERIFY(!std::filesystem::exists(p.dir / "take.wav"));
    }

    void SIGTERMInTheAboutWindowEndsAndSavesTheTake() {
        Program p;
        const std::string file = p.dir / "take.wav";
        p.ui().FilenameEdit2->SetFileName(file);
        p.form->show();
        QTimer::singleShot(0, p.form.get(), [&] {
            QVERIFY(p.Capture(1));
            p.RaiseWhenModal(SIGTERM);
            p.ui().AboutBtn->click();
        });
        p.ui().KonvertBtn->click();
        QVERIFY(!p.hung);
        QVERIFY(!p.about->isVisible());
        QCOMPARE(SamplesIn(file), 4096u);
        QVERIFY(!p.form->isVisible());
    }

    // The file can't be written and the user is asked: a signal in the box or in the save
    // dialog sends the take to the home folder instead of losing it.
    void SIGHUPWhileTheUserIsAskedSavesTheTakeAtHome() {
        for (const bool inTheDialog : {false, true}) {
            Program p;
            p.ui().FilenameEdit2->SetFileName(p.dir / "missing/take.wav");
            p.form->show();
            if (inTheDialog) {
                // The user reads the box; the signal comes while the dialog is up.
                auto* answer = new QTimer(p.form.get());
                QObject::connect(answer, &QTimer::timeout, answer, [answer] {
                    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                        box && box->isVisible()) {
                        answer->deleteLater();
                        box->button(QMessageBox::Ok)->click();
                    }
                });
                answer->start(5);
                p.RaiseWhenModal(SIGHUP, [](QWidget* w) { return qobject_cast<QFileDialog*>(w); });
            } else {
                p.RaiseWhenModal(SIGHUP);
            }
            QTimer::singleShot(0, p.form.get(), [&] {
                QVERIFY(p.Capture(2));
                p.ui().CancelFlag = true;
            });
            p.ui().KonvertBtn->click();
            QVERIFY(!p.hung);
            const auto home = FilesIn(p.dir / "home");
            QCOMPARE(home.size(), std::size_t(1));
            QCOMPARE(SamplesIn(home[0]), 4096u);
            QCOMPARE(p.ui().FilenameEdit2->FileName(), home[0].string());
            QVERIFY(!p.form->isVisible());
        }
    }

    // Idle, the browse dialog up: the dialog closes and the program ends.
    void SIGTERMInTheBrowseDialogEndsTheProgram() {
        Program p;
        p.form->show();
        const QString before = p.ui().FilenameEdit2->text();
        p.RaiseWhenModal(SIGTERM);
        p.ui().FilenameEdit2->BrowseButton()->click();
        QVERIFY(!p.hung);
        QCOMPARE(p.ui().FilenameEdit2->text(), before);
        QVERIFY(!p.form->isVisible());
    }
};

} // namespace tessmar::test

TESSMAR_QTEST_MAIN(tessmar::test::TerminationTest)
#include "TerminationTest.moc"
