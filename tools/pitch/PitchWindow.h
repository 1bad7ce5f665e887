// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/threads/LatencyLog.h"
#include "tools/pitch/PitchMailbox.h"
#include "tools/pitch/PitchTrace.h"
#include "tools/pitch/SungRange.h"

#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;

namespace tessmar {

class CentsMeter;
class LevelMeter;
class PitchLog;
class PitchTrace;
class ReferencePlayer;

// tessmar-pitch's window: the sung note large, its cents, the trace of the last seconds,
// the level with a hint, the range sung and the device's state. It only shows what the
// mailbox brings; the listening, the pitch and the log rows are done elsewhere.
class PitchWindow : public QWidget {
    Q_OBJECT
public:
    // log may be null (no --log).
    PitchWindow(ReferencePlayer& player, PitchLog* log, QWidget* parent = nullptr);
    ~PitchWindow() override;

    PitchMailbox& mailbox() { return mailbox_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Drain();
    void Show(const PitchUpdate& update);
    void ShowRange();
    void PlayReference(std::int32_t note);

    ReferencePlayer& player_;
    PitchLog* log_;
    LatencyLog latency_;
    SungRange range_;
    PitchMailbox mailbox_;
    QLabel* note_ = nullptr;
    QLabel* hz_ = nullptr;
    CentsMeter* cents_ = nullptr;
    PitchTrace* trace_ = nullptr;
    LevelMeter* level_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* range_label_ = nullptr;
    QPushButton* reset_ = nullptr;
    QLabel* device_ = nullptr;
    std::vector<PitchTrace::Point> points_; // kept to spare an allocation per update
    QString shownNote_;
    QString shownHz_;
    double hzShownAt_ = 0.0;
    QString shownHint_;
};

} // namespace tessmar
