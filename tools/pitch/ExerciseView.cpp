// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/ExerciseView.h"

#include "analysis/NoteNaming.h"
#include "practice/exercise/ExerciseSession.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tessmar {
namespace {

constexpr int kGutter = 44;
constexpr QRgb kSharp = 0xfff0f0f0;
constexpr QRgb kLine = 0xffdddddd;
constexpr QRgb kTarget = 0xffa9c8e8;
constexpr QRgb kTargetEdge = 0xff5b8cc0;
constexpr QRgb kInTune = 0xff1f9a3a;
constexpr QRgb kOff = 0xffd0402f;
constexpr QRgb kNoTarget = 0xff909090;

// The target sounding when what was heard at capture time `at` was sung.
// The target sounding at `at`, if any; else, when `nearest`, the one nearest in time.
const TargetNote* TargetAt(const ExerciseSession& session, double at, bool nearest = false) {
    const auto& targets = session.targets();
    const auto after = std::partition_point(targets.begin(), targets.end(),
                                            [&](const TargetNote& t) { return t.start <= at; });
    if (after != targets.begin() && at < (after - 1)->end) {
        return &*(after - 1);
    }
    if (!nearest || targets.empty()) {
        return nullptr;
    }
    if (after == targets.begin() || after == targets.end()) {
        return after == targets.begin() ? &targets.front() : &targets.back();
    }
    return at - (after - 1)->end < after->start - at ? &*(after - 1) : &*after;
}

} // namespace

ExerciseView::ExerciseView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kGutter + 200, 200);
    setAccessibleName(QStringLiteral("Übung: Zieltöne und gesungener Verlauf"));
}

void ExerciseView::ShowLive(const ExerciseSession* session, double now) {
    // Placed anew (the output told more surely when its sound began), the targets moved
    // under the picture: it is painted afresh.
    const bool moved = session && session->start() != placedAt_;
    placedAt_ = session ? session->start() : 0.0;
    const bool scrolls = session == session_ && !whole_ && !moved && now >= now_ && session &&
                         session->CountInLeft(now_) == 0;
    session_ = session;
    whole_ = false;
    now_ = now;
    // Everything moves left with time at the same pace, so the picture scrolls and only the
    // strip coming in and the one around the line for now are painted; the grid's rows are
    // the same all along. The count-in's figure sits still: it is painted whole.
    const int shift = int(std::lround(now * PixelsPerSecond()));
    const int dx = shift - shift_;
    shift_ = shift;
    const QRect plot(kGutter, 0, width() - kGutter, height());
    if (!scrolls || dx < 0 || dx >= plot.width()) {
        update();
        return;
    }
    if (dx > 0) {
        scroll(-dx, 0, plot);
    }
    // The curve's newest step (an update late, and placed where it was heard), and the
    // line for now where it was and where it is.
    const int nowX = int(NowX());
    const int tail = int((session_->delay() + 0.048 + 0.06) * PixelsPerSecond()) + dx + 3;
    update(QRect(nowX - tail, 0, tail + 3, height()));
}

// Another width, another pace: the picture is painted afresh from where now stands.
void ExerciseView::resizeEvent(QResizeEvent*) {
    shift_ = int(std::lround(now_ * PixelsPerSecond()));
    update();
}

double ExerciseView::PixelsPerSecond() const {
    return (width() - kGutter) / (kBehind + kAhead);
}

double ExerciseView::NowX() const {
    return kGutter + (width() - kGutter) * kBehind / (kBehind + kAhead);
}

void ExerciseView::ShowWhole(const ExerciseSession* session, double cursor) {
    session_ = session;
    whole_ = true;
    cursor_ = cursor;
    update();
}

double ExerciseView::X(double seconds) const {
    const double plot = width() - kGutter;
    if (whole_) {
        const auto& targets = session_->targets();
        const double from = session_->start(), to = targets.empty() ? from + 1 : targets.back().end;
        return kGutter + plot * (seconds - from) / std::max(0.1, to - from);
    }
    // In whole pixels from where now stands, as the picture scrolls.
    return NowX() + seconds * PixelsPerSecond() - shift_;
}

double ExerciseView::Y(double pitch) const {
    return (bottom_ + rows_ - 0.5 - pitch) * height() / rows_;
}

void ExerciseView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!session_) {
        painter.fillRect(event->rect(), Qt::white);
        return;
    }
    // The grid spans the exercise's notes with room around them.
    const auto& targets = session_->targets();
    int low = targets.empty() ? 36 : targets.front().note, high = low;
    for (const TargetNote& t : targets) {
        low = std::min(low, t.note);
        high = std::max(high, t.note);
    }
    rows_ = std::max(13, high - low + 7);
    bottom_ = (low + high) / 2 - rows_ / 2;
    // While the picture scrolls, two narrow strips are asked for, the one coming in and the
    // one around now: each is painted on its own rather than all between them.
    for (const QRect& area : event->region()) {
        painter.setClipRect(area);
        PaintArea(painter, area);
    }
    painter.setClipping(false);
    if (!whole_) {
        if (const int left = session_->CountInLeft(now_); left > 0) {
            QFont big = font();
            big.setPointSize(48);
            big.setBold(true);
            painter.setFont(big);
            painter.setPen(QColor(60, 60, 60));
            painter.drawText(rect().adjusted(kGutter, 0, 0, 0), Qt::AlignCenter,
                             QString::number(left));
        }
    }
}

void ExerciseView::PaintArea(QPainter& painter, const QRect& area) const {
    painter.fillRect(area, Qt::white);
    const double row = double(height()) / rows_;
    const int left = std::max(kGutter, area.left()), right = area.right() + 1;
    for (int r = 0; r < rows_; ++r) {
        const int note = bottom_ + rows_ - 1 - r;
        const QRectF band(0, r * row, width(), row);
        if (IsSharpNote(note)) {
            painter.fillRect(band.intersected(area), QColor::fromRgba(kSharp));
        }
        painter.setPen(QColor::fromRgba(kLine));
        painter.drawLine(QPointF(left, band.bottom()), QPointF(right, band.bottom()));
        // The names only where the gutter is painted: laying out text costs more than the
        // rest of a strip.
        if (area.left() < kGutter &&
            (row >= painter.fontMetrics().height() * 0.8 || note % 12 == 0)) {
            painter.setPen(Qt::black);
            painter.drawText(QRectF(2, band.top(), kGutter - 6, row),
                             Qt::AlignRight | Qt::AlignVCenter,
                             QString::fromStdString(NoteName(note)));
        }
    }
    painter.setClipRect(area.intersected(QRect(kGutter, 0, width() - kGutter, height())));
    // The targets as high as the tolerance, at least a few pixels. Over the whole exercise
    // they are outlined again over the curve, which would hide them.
    const double band = std::max(4.0, row * 2.0 * session_->tolerance() / 100.0);
    PaintTargets(painter, band, true, area);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintCurve(painter, area);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (whole_) {
        PaintTargets(painter, band, false, area);
    }
    // Now, or the replay's cursor.
    const double line = whole_ ? cursor_ : now_;
    if (!std::isnan(line) && X(line) >= area.left() - 2 && X(line) <= right + 2) {
        painter.setPen(QPen(QColor(40, 40, 40), 2));
        painter.drawLine(QPointF(X(line), 0), QPointF(X(line), height()));
    }
}

// Bars with square corners, unsmoothed: a strip cuts through them at every update, and
// rounded, smoothed ones cost a path each.
void ExerciseView::PaintTargets(QPainter& painter, double band, bool filled,
                                const QRect& area) const {
    painter.setPen(QPen(QColor::fromRgba(kTargetEdge), 1.0));
    painter.setBrush(filled ? QBrush(QColor::fromRgba(kTarget)) : QBrush(Qt::NoBrush));
    const auto& targets = session_->targets();
    const auto& words = session_->words();
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const TargetNote& t = targets[i];
        const int x0 = int(std::lround(X(t.start))) + 1, x1 = int(std::lround(X(t.end))) - 1;
        // A syllable runs on past its bar: it is painted with the strips that reach it.
        const int reach = filled && i < words.size() && !words[i].empty() ? 60 : 0;
        if (x1 + reach >= std::max(kGutter, area.left()) && x0 <= area.right() + 1) {
            const int y = int(std::lround(Y(t.note) - band / 2));
            painter.drawRect(QRect(x0, y, x1 - x0, int(std::lround(band))));
            if (reach > 0 && !whole_) {
                painter.setPen(QColor(40, 40, 40));
                painter.drawText(QPoint(x0, y + int(band) + painter.fontMetrics().ascent()),
                                 QString::fromStdString(words[i]));
                painter.setPen(QPen(QColor::fromRgba(kTargetEdge), 1.0));
            }
        }
    }
}

// The sung curve, judged against the target sounding when it was sung: placed where YIN
// heard it, the middle of its window's first half, less the delay.
void ExerciseView::PaintCurve(QPainter& painter, const QRect& area) const {
    const auto& curve = session_->curve();
    const double heardLate = session_->delay() + 0.048;
    // Only the stretch that falls into the area painted.
    const auto first = std::partition_point(curve.begin(), curve.end(), [&](const auto& p) {
        return X(p.seconds - heardLate) < area.left() - 4;
    });
    for (auto k = std::size_t(std::max<std::ptrdiff_t>(1, first - curve.begin())); k < curve.size();
         ++k) {
        const auto& a = curve[k - 1];
        const auto& b = curve[k];
        if (std::isnan(a.pitch) || std::isnan(b.pitch) || b.seconds - a.seconds > 0.2) {
            continue;
        }
        const TargetNote* t = TargetAt(*session_, b.seconds - heardLate);
        // Where the octave is free (a man singing a soprano's line), the voice is drawn in
        // the octave of the notes, as it is scored.
        double shift = 0.0;
        if (const TargetNote* near = t ? t : TargetAt(*session_, b.seconds - heardLate, true);
            near && session_->octaveFree()) {
            shift = -12.0 * std::round((b.pitch - near->note) / 12.0);
        }
        const bool step = std::abs(b.pitch - a.pitch) > 0.5; // on the way between notes
        const QRgb colour = !t || step ? kNoTarget
                            : std::abs(b.pitch + shift - t->note) * 100.0 <= session_->tolerance()
                                ? kInTune
                                : kOff;
        painter.setPen(
            QPen(QColor::fromRgba(colour), whole_ ? 1.5 : 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(X(a.seconds - heardLate), Y(a.pitch + shift)),
                         QPointF(X(b.seconds - heardLate), Y(b.pitch + shift)));
    }
}

} // namespace tessmar
