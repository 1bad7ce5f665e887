// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/delay/DelayMeasurement.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tessmar {

class CaptureClock;
class ReferencePlayer;

// The delay from loudspeaker to microphone, measured in the window: the measuring sound
// played, what the input hears after it, its start placed on the capture clock anew with
// each update, and the result or why there is none, after 6 s of input at the most (8 s
// when no input comes). Everything on the window's thread.
class DelayRun : public QObject {
    Q_OBJECT
public:
    DelayRun(ReferencePlayer& player, QObject* parent);

    bool running() const { return measuring_.has_value(); }
    // now: the capture time; started is told the moment the sound was heard from.
    void Start(double now, std::function<void(std::int64_t)> started);
    void StartedAt(std::int64_t steadyNs);
    void Heard(const std::vector<std::int16_t>& mono, double endSeconds);
    // After each update.
    void Update(const CaptureClock& clock, double now);
    // Ends it without a result, for the reason told.
    void Stop(const QString& why);

signals:
    // delayMs: the delay measured, or -1; text: the result in words (plain).
    void Ended(int delayMs, const QString& text);

private:
    void End(int delayMs, const QString& text);

    ReferencePlayer& player_;
    std::optional<DelayMeasurement> measuring_;
    double began_ = 0.0;    // capture time
    std::uint64_t run_ = 0; // the number of the run, for its timer
};

} // namespace tessmar
