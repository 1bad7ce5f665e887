// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QPainter;

namespace tessmar {

class ExerciseSession;

// An exercise on the trace's semitone grid. While it is sung, the targets come in from the
// right as bars as high as the tolerance, the sung curve is drawn over them (green within the
// tolerance of the target sounding then, red outside it) up to the line for now, and the
// count-in's beats are counted down. Afterwards it shows the whole exercise at once, with a
// cursor while the take is replayed.
class ExerciseView : public QWidget {
    Q_OBJECT
public:
    static constexpr double kAhead = 6.0;  // seconds of targets shown to come
    static constexpr double kBehind = 3.0; // seconds of the sung curve shown

    explicit ExerciseView(QWidget* parent = nullptr);

    // session may be null (nothing shown). now: the capture time of the newest update.
    void ShowLive(const ExerciseSession* session, double now);
    // The whole exercise; cursor: capture time replayed, NaN without.
    void ShowWhole(const ExerciseSession* session, double cursor);
    QSize sizeHint() const override { return {564, 380}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    double X(double seconds) const;
    double Y(double pitch) const;
    void PaintArea(QPainter& painter, const QRect& area) const;
    void PaintTargets(QPainter& painter, double band, bool filled, const QRect& area) const;
    void PaintCurve(QPainter& painter, const QRect& area) const;
    double PixelsPerSecond() const;
    double NowX() const;

    const ExerciseSession* session_ = nullptr;
    bool whole_ = false;
    double now_ = 0.0;
    double cursor_ = 0.0;
    int shift_ = 0;         // now in pixels: the picture has scrolled by its changes
    double placedAt_ = 0.0; // the session's start the picture was painted for
    int bottom_ = 0;        // the lowest row's NoteIndex
    int rows_ = 13;
};

} // namespace tessmar
