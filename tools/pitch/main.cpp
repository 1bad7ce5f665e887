// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/DemoSingerInput.h"
#include "platform/capture/LinuxWaveIn.h"
#include "platform/desktop/QtGermanTranslations.h"
#include "platform/desktop/TerminationSignals.h"
#include "platform/profile/IniFileProfile.h"
#include "platform/threads/ShortTimeSlices.h"
#include "practice/PitchFormat.h"
#include "practice/PitchListener.h"
#include "practice/PitchLog.h"
#include "practice/PitchOptions.h"
#include "practice/ReferencePlayer.h"
#include "practice/delay/DelayCommand.h"
#include "practice/exercise/ExerciseCommand.h"
#include "practice/exercise/ExerciseSettings.h"
#include "practice/history/HistoryCommand.h"
#include "practice/history/TakeHistory.h"
#include "practice/song/SongCommand.h"
#include "tools/pitch/PitchWindow.h"

#include <QApplication>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <thread>

int main(int argc, char** argv) {
    using namespace tessmar;
    int status = 0;
    const auto options = PitchOptions::Parse({argv + 1, argv + argc}, std::cout, std::cerr, status);
    if (!options) {
        std::cout.flush();
        return std::cout ? status : 1; // an answer that could not be written is no answer
    }
    if (!options->history.empty()) {
        return RunHistoryCommand(TakeHistory::DefaultPath(), options->history, std::cout,
                                 std::cerr);
    }
    if (((options->exercising || !options->song.empty()) && !options->score.empty()) ||
        options->measuringDelay) {
        // Blocked before any thread starts: the command waits for them itself.
        sigset_t ending;
        sigemptyset(&ending);
        for (const int s : {SIGINT, SIGTERM, SIGHUP}) {
            sigaddset(&ending, s);
        }
        pthread_sigmask(SIG_BLOCK, &ending, nullptr);
        const auto device = LinuxWaveIn::FromEnvironment(DemoSingerInput(kPitchRate), kPitchTiming);
        device->TellRepeatedFailuresOnce();
        if (options->measuringDelay) {
            ReferencePlayer player(options->concertA);
            return RunDelayCommand(*device, player, std::cout, std::cerr);
        }
        return options->song.empty() ? RunExerciseCommand(*options, *device, std::cout, std::cerr)
                                     : RunSongCommand(*options, *device, std::cout, std::cerr);
    }
    std::unique_ptr<PitchLog> log;
    if (!options->log.empty()) {
        std::string error;
        log = PitchLog::Open(options->log, error);
        if (!log) {
            std::cerr << "tessmar-pitch: Die Protokolldatei „" << options->log
                      << "“ lässt sich nicht anlegen: " << error << ".\n";
            return 1;
        }
    }

    TerminationSignals::HoldUntilHandled();
    // Before any thread starts, so that every thread of the program gets them.
    RequestShortTimeSlices(std::chrono::milliseconds(1));
    // Each update repaints a few narrow strips. Through X's shared memory every paint
    // first waits for the X server to release the picture it was last handed, which under
    // load is the longest wait of an update; sent over the connection, the strips cost
    // less and nothing waits. A user's own choice stands.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tessmar-pitch"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tessmar – Tonhöhe"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tessmar.pitch"));
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::Requested, &application,
                     &QApplication::quit);
    QtGermanTranslations germanQt;

    const auto device = LinuxWaveIn::FromEnvironment(DemoSingerInput(kPitchRate), kPitchTiming);
    device->TellRepeatedFailuresOnce(); // the listener tries again every second
    // The exercises' settings and the delay for this input and output, kept between runs;
    // the command line's concert pitch and delay go before the stored ones.
    IniFileProfile profile(IniFileProfile::DefaultPathFor("tessmar-pitch"));
    const std::string devicePair =
        ExerciseSettings::DevicePair(std::getenv("TESSMAR_INPUT"), std::getenv("TESSMAR_OUTPUT"));
    ExerciseSettings stored = ExerciseSettings::Load(profile, devicePair);
    const int concertA = options->concertPitchGiven ? options->concertA : stored.concertA;
    ReferencePlayer player(concertA);
    PitchWindow window(player, log.get(), profile, devicePair);
    window.resize(660, 600);
    window.show();
    // A stopped sound server keeps the device's open waiting for half a minute; at the end
    // the listener leaves it behind instead.
    std::atomic<bool> ending = false;
    device->SetSlowCallWait([&ending](std::chrono::milliseconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return !ending.load();
    });
    PitchListener listener(*device, window, kPitchRate, kPitchWindowFrames, kPitchHopFrames,
                           std::chrono::milliseconds(1000), concertA);
    // The stored settings with what the command line gives in their place.
    ExerciseSettings given = stored;
    given.toleranceCents =
        options->toleranceGiven ? options->toleranceCents : stored.toleranceCents;
    given.delayMs = options->delayGiven ? options->delayMs : stored.delayMs;
    if (options->exercising) {
        ExerciseSettings exercise = given;
        exercise.exercise = options->exercise;
        window.StartExercise(exercise);
    }
    if (!options->song.empty()) {
        given.exercise.countInBeats = options->exercise.countInBeats;
        window.StartSong(options->song, options->track, options->transpose, options->strictOctave,
                         given);
    }
    const int exitStatus = application.exec();
    ending = true;
    if (std::string error; log && !log->Finish(error)) {
        std::cerr << "tessmar-pitch: Die Protokolldatei „" << options->log
                  << "“ ist unvollständig: " << error << ".\n";
        return 1;
    }
    return exitStatus;
}
