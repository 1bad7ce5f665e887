// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/delay/DelayCommand.h"

#include "platform/threads/SteadyNanos.h"
#include "practice/CaptureClock.h"
#include "practice/PitchFormat.h"
#include "practice/PitchListener.h"
#include "practice/ReferencePlayer.h"
#include "practice/delay/DelayMeasurement.h"

#include <csignal>
#include <ctime>
#include <mutex>

namespace tessmar {
namespace {

// What the listener hears, into the measurement; the window of the command is polled.
class MeasuringSink : public PitchListener::Sink {
public:
    void Shown(const PitchUpdate& update) override {
        std::lock_guard lock(mutex_);
        clock_.Add(update.seconds, update.filledAt);
        ++updates_;
        measurement_.Place(clock_);
    }
    void Frames(const std::int16_t* frames, std::size_t count, double endSeconds) override {
        std::lock_guard lock(mutex_);
        measurement_.Heard(frames, count, endSeconds);
    }
    void DeviceState(const std::string& message) override {
        std::lock_guard lock(mutex_);
        if (!message.empty() && message != told_) {
            told_ = message;
            messages_ += message + '\n';
        }
    }

    void Started(std::int64_t ns) {
        std::lock_guard lock(mutex_);
        measurement_.StartedAt(ns);
    }
    int updates() {
        std::lock_guard lock(mutex_);
        return updates_;
    }
    bool started() {
        std::lock_guard lock(mutex_);
        return measurement_.soundStarted();
    }
    bool Done(std::string& messages) {
        std::lock_guard lock(mutex_);
        messages.swap(messages_);
        messages_.clear();
        return measurement_.Done();
    }
    std::optional<int> Result(std::string& why) {
        std::lock_guard lock(mutex_);
        return measurement_.Result(why);
    }

private:
    std::mutex mutex_;
    CaptureClock clock_;
    DelayMeasurement measurement_{kPitchRate};
    int updates_ = 0;
    std::string told_, messages_;
};

} // namespace

int RunDelayCommand(WaveInApi& device, ReferencePlayer& player, std::ostream& out,
                    std::ostream& err) {
    constexpr int kSettle = 6;      // updates before the sound: the clock has its bearings
    constexpr double kGiveUp = 6.0; // seconds without a device or a result
    MeasuringSink sink;
    std::optional<int> delay;
    std::string why = "Die Messung wurde abgebrochen";
    {
        PitchListener listener(device, sink, kPitchRate, kPitchWindowFrames, kPitchHopFrames,
                               std::chrono::milliseconds(1000));
        sigset_t ending;
        sigemptyset(&ending);
        for (const int s : {SIGINT, SIGTERM, SIGHUP}) {
            sigaddset(&ending, s);
        }
        const std::int64_t begun = SteadyNanos();
        bool playing = false, done = false;
        for (std::string messages; !done;) {
            done = sink.Done(messages);
            if (!messages.empty()) {
                err << messages << std::flush;
            }
            if (!playing && sink.updates() >= kSettle) {
                playing = true;
                player.PlayFrames(DelayMeasurement::Sound(ReferencePlayer::kRate),
                                  [&sink](std::int64_t ns) { sink.Started(ns); });
            }
            if (!done && double(SteadyNanos() - begun) * 1e-9 > kGiveUp) {
                why = !playing          ? "Vom Aufnahmegerät kommt nichts an"
                      : !sink.started() ? "Das Wiedergabegerät spielt den Messton nicht ab"
                                        : "Die Aufnahme kam ins Stocken";
                break;
            }
            const timespec tick{0, 20'000'000};
            if (!done && sigtimedwait(&ending, nullptr, &tick) > 0) {
                break;
            }
        }
        if (done) {
            delay = sink.Result(why);
        }
        player.Stop(); // before the sink goes
    }
    if (!delay) {
        err << "tessmar-pitch: " << why << ".\n";
        return 1;
    }
    out << "Verzögerung: " << *delay << " ms\n" << std::flush;
    return out ? 0 : 1;
}

} // namespace tessmar
