// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/PitchTrace.h"

#include "analysis/NoteNaming.h"
#include "platform/threads/SteadyNanos.h"
#include "tools/notes/QtNoteChart.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tessmar {
namespace {

constexpr QRgb kNatural = 0xffffffff;
constexpr QRgb kSharp = 0xfff0f0f0;
constexpr QRgb kLine = 0xffdddddd;
constexpr QRgb kOctaveLine = 0xffb0b0b0;
constexpr std::size_t kMaxPoints = 2000;

} // namespace

PitchTrace::PitchTrace(LatencyLog& latency, QWidget* parent) : QWidget(parent), latency_(latency) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kGutter + 200, 200);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(QStringLiteral("Tonhöhenverlauf"));
}

double PitchTrace::Y(double note) const {
    return (bottom_ + kRows - 0.5 - note) * RowHeight();
}

std::int32_t PitchTrace::NoteAt(int y) const {
    return bottom_ + kRows - 1 - std::clamp(int(y / RowHeight()), 0, kRows - 1);
}

void PitchTrace::resizeEvent(QResizeEvent*) {
    step_ = std::max(1, int(std::lround(Plot().width() / (kSeconds * kUpdatesPerSecond))));
}

void PitchTrace::Add(const std::vector<Point>& points) {
    bool recentred = false;
    for (const Point& point : points) {
        points_.push_back(point.note);
        if (points_.size() > kMaxPoints) {
            points_.pop_front();
        }
        // Kept only while measuring, and not without end for a window that isn't painted.
        if (latency_.active() && point.stamps.filled != 0 && unpainted_.size() < kMaxPoints) {
            unpainted_.push_back(point.stamps);
        }
        const double note = point.note;
        if (!std::isnan(note) && (note < bottom_ + 0.5 || note > bottom_ + kRows - 1.5)) {
            // The voice left the grid: centre it on the voice again.
            bottom_ = std::clamp(std::int32_t(std::lround(note)) - kRows / 2, 0, 127 - kRows);
            recentred = true;
        }
    }
    if (recentred) {
        update();
        return;
    }
    // One scroll and one paint for the batch: a late window thread catches up in one pass.
    const int shift = step_ * int(points.size());
    scroll(-shift, 0, Plot());
    // Painted now, not in a later pass of the event loop: the pitch shows as soon as it
    // is known.
    repaint(width() - shift - 2, 0, shift + 2, height());
}

void PitchTrace::mousePressEvent(QMouseEvent* event) {
    emit NoteClicked(NoteAt(int(event->position().y())));
}

void PitchTrace::PaintGrid(QPainter& painter) {
    const double h = RowHeight();
    for (int row = 0; row < kRows; ++row) {
        const std::int32_t note = bottom_ + kRows - 1 - row;
        const QRect band(0, int(std::lround(row * h)), width(),
                         int(std::lround((row + 1) * h)) - int(std::lround(row * h)));
        painter.fillRect(band, QColor(IsSharpNote(note) ? kSharp : kNatural));
        painter.setPen(QColor(note % 12 == 0 ? kOctaveLine : kLine));
        painter.drawLine(0, band.bottom(), width(), band.bottom());
        painter.setPen(QColor(IsSharpNote(note) ? 0xff909090 : 0xff303030));
        painter.drawText(QRect(0, band.top(), kGutter - 6, band.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(NoteName(note)));
    }
    painter.setPen(QColor(kOctaveLine));
    painter.drawLine(kGutter - 1, 0, kGutter - 1, height());
}

void PitchTrace::PaintTrace(QPainter& painter, const QRect& area) {
    const int right = width() - 1;
    const std::size_t n = points_.size();
    // Only the points whose segments reach into the area.
    const std::size_t back = std::size_t(std::max(0, right - area.left()) / step_ + 2);
    const std::size_t first = n > back ? n - back : 0;
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(
        QPen(QColor(QtNoteChart::kPitchColour), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (std::size_t i = first; i < n; ++i) {
        const double x = right - double(n - 1 - i) * step_;
        if (x < kGutter || std::isnan(points_[i])) {
            continue;
        }
        const QPointF here(x, Y(points_[i]));
        if (i > first && !std::isnan(points_[i - 1]) && x - step_ >= kGutter &&
            std::abs(points_[i] - points_[i - 1]) < 1.5) {
            painter.drawLine(QPointF(x - step_, Y(points_[i - 1])), here);
        } else {
            painter.drawPoint(here);
        }
    }
}

void PitchTrace::paintEvent(QPaintEvent* event) {
    const std::int64_t start = latency_.active() ? SteadyNanos() : 0;
    QPainter painter(this);
    const QRect area = event->rect();
    // The grid is drawn once per size and range and copied; only the trace is drawn anew.
    const qreal ratio = devicePixelRatio();
    if (grid_.size() != size() * ratio || gridBottom_ != bottom_) {
        grid_ = QPixmap(size() * ratio);
        grid_.setDevicePixelRatio(ratio);
        gridBottom_ = bottom_;
        QPainter grid(&grid_);
        PaintGrid(grid);
    }
    painter.drawPixmap(area, grid_, QRectF(area.topLeft() * ratio, area.size() * ratio));
    painter.setClipRect(area);
    PaintTrace(painter, area);
    painter.end();
    if (area.right() >= width() - 1) {
        for (const LatencyLog::Stamps& stamps : unpainted_) {
            latency_.Painted(stamps, start);
        }
        unpainted_.clear();
    }
}

} // namespace tessmar
