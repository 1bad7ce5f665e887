// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/DelayRun.h"

#include "practice/CaptureClock.h"
#include "practice/PitchFormat.h"
#include "practice/ReferencePlayer.h"

#include <QTimer>
#include <chrono>

namespace tessmar {

DelayRun::DelayRun(ReferencePlayer& player, QObject* parent) : QObject(parent), player_(player) {}

void DelayRun::Start(double now, std::function<void(std::int64_t)> started) {
    measuring_.emplace(kPitchRate);
    began_ = now;
    player_.PlayFrames(DelayMeasurement::Sound(ReferencePlayer::kRate), std::move(started));
    // Without updates nothing would end it: the input may be missing.
    QTimer::singleShot(std::chrono::seconds(8), this, [this, run = ++run_] {
        if (measuring_ && run == run_) {
            Stop(QStringLiteral("Vom Aufnahmegerät kam nichts an"));
        }
    });
}

void DelayRun::StartedAt(std::int64_t steadyNs) {
    measuring_->StartedAt(steadyNs);
}

void DelayRun::Heard(const std::vector<std::int16_t>& mono, double endSeconds) {
    measuring_->Heard(mono.data(), mono.size(), endSeconds, 1);
}

void DelayRun::Update(const CaptureClock& clock, double now) {
    measuring_->Place(clock);
    constexpr double kGiveUp = 6.0;
    if (!measuring_->Done() && now - began_ < kGiveUp) {
        return;
    }
    std::string why = !measuring_->soundStarted()
                          ? "Das Wiedergabegerät spielt den Messton nicht ab"
                          : "Die Aufnahme kam ins Stocken";
    const std::optional<int> delay = measuring_->Done() ? measuring_->Result(why) : std::nullopt;
    if (delay) {
        End(*delay, QStringLiteral("Verzögerung: %1 ms gemessen und übernommen.").arg(*delay));
    } else {
        Stop(QString::fromStdString(why));
    }
}

void DelayRun::Stop(const QString& why) {
    End(-1, QStringLiteral("Keine Verzögerung gemessen: %1.").arg(why));
}

void DelayRun::End(int delayMs, const QString& text) {
    player_.Stop();
    measuring_.reset();
    emit Ended(delayMs, text);
}

} // namespace tessmar
