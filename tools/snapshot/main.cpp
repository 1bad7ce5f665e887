// SPDX-License-Identifier: GPL-3.0-or-later
// tessmar-snapshot FOLDER: draws the main window and the About window off screen and
// saves them as main-window.png and about-window.png, then the main window while it
// records the built-in singer as recording-window.png: for the README and for looking.
#include "app/AppError.h"
#include "app/about/AboutBoxUnit.h"
#include "app/controls/FilenameEdit.h"
#include "app/window/MainUnit.h"
#include "audio/DemoSingerInput.h"
#include "platform/capture/LinuxWaveIn.h"
#include "platform/desktop/DesktopShell.h"
#include "platform/desktop/QtEventPump.h"
#include "platform/desktop/QtGermanTranslations.h"
#include "platform/desktop/QtMessageBox.h"
#include "platform/desktop/QtSaveDialog.h"
#include "platform/desktop/QtScreenMetrics.h"
#include "platform/mixer/AlsaMixer.h"
#include "platform/playback/AlsaMediaDevice.h"
#include "platform/profile/IniFileProfile.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

// What the screen shows of the window: a fresh rendering would repaint the waveform view,
// and a repaint clears it.
bool Save(QWidget& window, const QDir& folder, const char* name) {
    window.show();
    QApplication::processEvents();
    const QString path = folder.filePath(name);
    const QPixmap shown = window.screen()->grabWindow(window.winId());
    // Whole and in device pixels: at a scale factor the offscreen platform gives only the
    // window's size in device pixels, its top left part, so the window is drawn afresh.
    const bool whole = shown.size() == window.size() * window.devicePixelRatio();
    if (!(whole ? shown : window.grab()).save(path, "PNG")) {
        std::fprintf(stderr, "%s: kann nicht geschrieben werden\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tessmar;
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: %s ORDNER\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("TESSMAR_INPUT", "demo"); // the built-in singer, whatever the machine has
    QApplication app(argc, argv);
    QtGermanTranslations germanQt;
    QApplication::setApplicationName(kApplicationTitle);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) {
        std::fprintf(stderr, "%s: Ordner fehlt\n", argv[1]);
        return 1;
    }

    // The placement file goes to a folder of its own, so the user's stays untouched.
    QTemporaryDir config;
    IniFileProfile profile(QDir(config.path()).filePath("tessmar.INI").toStdString());
    QtSaveDialog saveDialog;
    QtMessageBox messages;
    QtScreenMetrics screen;
    DesktopShell shell;
    const auto waveIn = LinuxWaveIn::FromEnvironment(DemoSingerInput());
    // A mixer that isn't there: the pictures must not touch the machine's levels.
    AlsaMixer mixer("tessmar-snapshot-no-mixer");
    AlsaMediaDevice mediaDevice;
    QtEventPump events;
    // A typical installation: the program folder is not the user's, so the proposed file
    // lies in the home folder.
    TMainForm form({profile,
                    saveDialog,
                    messages,
                    screen,
                    "/nonexistent/tessmar/tessmar",
                    "/home/anna",
                    *waveIn,
                    mixer,
                    mediaDevice,
                    events,
                    {}});
    TAboutBox about(shell, screen, &form);
    bool ok = Save(form, folder, "main-window.png") && Save(about, folder, "about-window.png");
    about.hide();
    if (ok) {
        // Records for a moment (into the temporary folder, nothing is kept) and takes the
        // picture while the singer holds a note.
        // The picture shows the proposed name, but the take goes to the temporary file: the
        // proposed one can't be written here, and the question about it would wait for an
        // answer that never comes.
        // The window's controls are its own: found by name, as a screen reader would.
        auto* const field = form.findChild<TFilenameEdit*>("FilenameEdit2");
        const QString defaultName = field->text();
        const QString take = QDir(config.path()).filePath("take.wav");
        field->SetFileName(take.toStdString());
        QTimer::singleShot(1800, &form, [&] {
            field->setText(defaultName);
            ok = Save(form, folder, "recording-window.png");
            field->SetFileName(take.toStdString());
            form.findChild<QPushButton*>("StopPlayBtn")->click();
        });
        form.findChild<QPushButton*>("KonvertBtn")->click();
    }
    return ok ? 0 : 1;
}
