// Program start: application title, the main window (closing it ends the program), the
// About window created hidden, then the event loop.
#include "app/AboutBoxUnit.h"
#include "app/AppError.h"
#include "app/MainUnit.h"
#include "app/ProgramInfo.h"
#include "audio/DemoSingerInput.h"
#include "platform/capture/LinuxWaveIn.h"
#include "platform/desktop/DesktopShell.h"
#include "platform/desktop/QtEventPump.h"
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
#include <iostream>

int main(int argc, char** argv) {
    using namespace tessmar;
    // Answered before Qt starts, so that they need no display.
    if (const auto status = ProgramInfo::Answer({argv + 1, argv + argc}, std::cout)) {
        return *status;
    }
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

    const std::string programFile = QCoreApplication::applicationFilePath().toStdString();
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
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        arguments.push_back(argument.toStdString());
    }

    TMainForm form({profile, saveDialog, messages, screen, programFile,
                    QDir::homePath().toStdString(), *waveIn, mixer, mediaDevice, events,
                    arguments});
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
    const int status = app.exec();
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
