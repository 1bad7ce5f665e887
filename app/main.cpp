// SPDX-License-Identifier: GPL-3.0-or-later
// Program start: application title, the main window (closing it ends the program), the
// About window created hidden, then the event loop.
#include "app/AppError.h"
#include "app/ProgramInfo.h"
#include "app/about/AboutBoxUnit.h"
#include "app/window/MainUnit.h"
#include "audio/DemoSingerInput.h"
#include "audio/TakeJournal.h"
#include "platform/capture/LinuxWaveIn.h"
#include "platform/desktop/DesktopShell.h"
#include "platform/desktop/QtEventPump.h"
#include "platform/desktop/QtGermanTranslations.h"
#include "platform/desktop/QtMessageBox.h"
#include "platform/desktop/QtSaveDialog.h"
#include "platform/desktop/QtScreenMetrics.h"
#include "platform/desktop/TerminationSignals.h"
#include "platform/mixer/AlsaMixer.h"
#include "platform/playback/AlsaMediaDevice.h"
#include "platform/profile/IniFileProfile.h"
#include "platform/threads/ShortTimeSlices.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    using namespace tessmar;
    // Answered before Qt starts, so that they need no display.
    if (const auto status = ProgramInfo::Answer({argv + 1, argv + argc}, std::cout)) {
        return *status;
    }
    TerminationSignals::HoldUntilHandled();
    // Before any thread starts, so that all of them have it. A block's work takes well
    // under a millisecond on each thread; only a hint, so a refusal changes nothing.
    RequestShortTimeSlices(std::chrono::milliseconds(1));
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    // Names the desktop entry: the window's app ID on Wayland, the icon in the task bar.
    QGuiApplication::setDesktopFileName(ProgramInfo::ApplicationId());
    // Before anything that takes time, and alive until everything that may save a recording
    // (the main window's end included) is gone.
    TerminationSignals termination;
    QtGermanTranslations germanQt;
    // Qt's xcb ends the process with exit() right after this warning, while the capture
    // threads still run; exit handlers come too late to be sure of anything.
    static QtMessageHandler previousHandler = nullptr;
    previousHandler = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (type == QtWarningMsg && text.startsWith("The X11 connection broke")) {
                TakeJournal::SaveLiveTake();
            }
            if (previousHandler) {
                previousHandler(type, context, text);
            } else {
                std::fprintf(stderr, "%s\n", qPrintable(text));
            }
        });

    // File names as the system gives them: bytes, not always UTF-8, kept exactly.
    std::error_code noLink;
    std::string programFile = std::filesystem::read_symlink("/proc/self/exe", noLink).string();
    if (programFile.empty()) {
        programFile = QCoreApplication::applicationFilePath().toStdString();
    }
    const char* home = std::getenv("HOME");
    const std::string homeFolder =
        home && *home == '/' ? std::string(home) : QDir::homePath().toStdString();
    IniFileProfile profile(IniFileProfile::DefaultPathFor(programFile));
    QtSaveDialog saveDialog;
    QtMessageBox messages;
    QtScreenMetrics screen;
    DesktopShell shell;
    const auto waveIn = LinuxWaveIn::FromEnvironment(DemoSingerInput());
    AlsaMixer mixer;
    AlsaMediaDevice mediaDevice;
    QtEventPump events;
    std::vector<std::string> arguments;
    // What Qt left of the command line once it took its own options.
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }

    TMainForm form({profile, saveDialog, messages, screen, programFile, homeFolder, *waveIn, mixer,
                    mediaDevice, events, arguments, TakeJournal::Folders()});
    QObject::connect(&termination, &TerminationSignals::Requested, &form,
                     [&form] { form.RequestTermination(); });
    // A device that hangs in its open (a stopped sound server) is left behind on a signal.
    const auto slowCallWait = [&form](std::chrono::milliseconds waited) {
        return form.WaitForSlowCall(waited);
    };
    waveIn->SetSlowCallWait(slowCallWait);
    mixer.SetSlowCallWait(slowCallWait);
    mediaDevice.SetSlowCallWait(slowCallWait);
    TAboutBox about(shell, screen, &form);
    form.SetAboutBox(&about);
    form.show();
    // A signal while the start waits in a box (a rejected file name) has closed the window
    // already, before the loop that would notice.
    const int status = form.isVisible() ? app.exec() : 0;
    // In command-line mode: whether the take is in its file.
    const int outcome = form.Outcome().ExitStatus();
    // Input lost because no block was free means the recording has gaps: say so.
    if (waveIn->LostFrames() > 0 || waveIn->SourceOverruns() > 0) {
        std::fprintf(stderr, "tessmar: %llu Frames gingen verloren (%llu Überläufe).\n",
                     static_cast<unsigned long long>(waveIn->LostFrames()),
                     static_cast<unsigned long long>(waveIn->SourceOverruns()));
    }
    return status != 0 ? status : outcome;
}
