// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/ProgressChart.h"

#include "analysis/NoteNaming.h"

#include <QDate>
#include <QPainter>
#include <algorithm>

namespace tessmar {
namespace {

constexpr QRgb kColours[] = {0xff1f77b4, 0xffd62728, 0xff2ca02c,
                             0xff9467bd, 0xffff7f0e, 0xff8c564b};
constexpr int kLeft = 48, kBottom = 22, kTitle = 20;

QString DayText(std::int64_t day) {
    return QDate(1970, 1, 1).addDays(day).toString(QStringLiteral("d.M."));
}

} // namespace

ProgressChart::ProgressChart(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Verlauf: Wertung je Tag und Umfang je Woche"));
    setMinimumSize(480, 320);
}

void ProgressChart::Show(Progress progress) {
    progress_ = std::move(progress);
    update();
}

void ProgressChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const int half = height() * 3 / 5;
    PaintScores(painter, QRect(0, 0, width(), half));
    PaintRange(painter, QRect(0, half, width(), height() - half));
}

void ProgressChart::PaintScores(QPainter& painter, const QRect& area) const {
    painter.setPen(Qt::black);
    painter.drawText(area.adjusted(4, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("Wertung, Mittel je Tag"));
    const QRect plot = area.adjusted(kLeft, kTitle + 4, -12, -kBottom);
    std::int64_t first = 0, last = 0;
    bool any = false;
    for (const auto& s : progress_.scores) {
        for (const auto& d : s.days) {
            first = any ? std::min(first, d.day) : d.day;
            last = any ? std::max(last, d.day) : d.day;
            any = true;
        }
    }
    painter.setPen(QColor(0xdd, 0xdd, 0xdd));
    for (int score = 0; score <= 100; score += 25) {
        const int y = plot.bottom() - plot.height() * score / 100;
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, y - 8, kLeft - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(score));
        painter.setPen(QColor(0xdd, 0xdd, 0xdd));
    }
    if (!any) {
        painter.setPen(Qt::black);
        painter.drawText(plot, Qt::AlignCenter,
                         QStringLiteral("Noch keine Übung und kein Lied bis zum Ende gesungen."));
        return;
    }
    const double span = std::max<double>(1.0, double(last - first));
    const auto x = [&](std::int64_t day) {
        return plot.left() + int(double(plot.width()) * double(day - first) / span);
    };
    painter.setPen(Qt::black);
    painter.drawText(QRect(plot.left(), plot.bottom() + 4, 80, 16), Qt::AlignLeft, DayText(first));
    painter.drawText(QRect(plot.right() - 80, plot.bottom() + 4, 80, 16), Qt::AlignRight,
                     DayText(last));
    painter.setRenderHint(QPainter::Antialiasing);
    int legend = plot.left() + 160;
    for (std::size_t i = 0; i < progress_.scores.size(); ++i) {
        const auto& s = progress_.scores[i];
        const QColor colour = QColor::fromRgba(kColours[i % std::size(kColours)]);
        painter.setPen(QPen(colour, 2));
        painter.setBrush(colour);
        QPointF before;
        for (std::size_t k = 0; k < s.days.size(); ++k) {
            const QPointF p(x(s.days[k].day),
                            plot.bottom() - plot.height() * s.days[k].total / 100.0);
            if (k > 0) {
                painter.drawLine(before, p);
            }
            painter.drawEllipse(p, 2.5, 2.5);
            before = p;
        }
        const QString name = QString::fromStdString(s.name);
        painter.drawText(QPoint(legend, area.top() + 15), name);
        legend += painter.fontMetrics().horizontalAdvance(name) + 16;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
}

void ProgressChart::PaintRange(QPainter& painter, const QRect& area) const {
    painter.setPen(Qt::black);
    painter.drawText(area.adjusted(4, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("Umfang, in der Toleranz gesungen, je Woche"));
    const QRect plot = area.adjusted(kLeft, kTitle + 4, -12, -kBottom);
    if (progress_.range.empty()) {
        return;
    }
    std::int32_t low = progress_.range.front().lowest, high = progress_.range.front().highest;
    for (const auto& w : progress_.range) {
        low = std::min(low, w.lowest);
        high = std::max(high, w.highest);
    }
    low -= 2;
    high += 2;
    const auto y = [&](double note) {
        return plot.bottom() - double(plot.height()) * (note - low) / double(high - low);
    };
    for (std::int32_t n = low; n <= high; ++n) {
        if (n % 12 == 0 || n == low + 2 || n == high - 2) { // the Cs and the ends
            painter.setPen(QColor(0xdd, 0xdd, 0xdd));
            painter.drawLine(plot.left(), int(y(n)), plot.right(), int(y(n)));
            painter.setPen(Qt::black);
            painter.drawText(QRect(0, int(y(n)) - 8, kLeft - 6, 16),
                             Qt::AlignRight | Qt::AlignVCenter,
                             QString::fromStdString(NoteName(n)));
        }
    }
    const int count = int(progress_.range.size());
    // Many weeks share the width: a bar may narrow to a line, but stays inside.
    const double slot = double(plot.width()) / count;
    const double bar = std::clamp(slot * 0.6, 1.0, 28.0);
    for (int i = 0; i < count; ++i) {
        const auto& w = progress_.range[std::size_t(i)];
        const double left = plot.left() + i * slot + (slot - bar) / 2;
        const QRectF r(left, y(w.highest + 0.5), bar, y(w.lowest - 0.5) - y(w.highest + 0.5));
        painter.fillRect(r, QColor(0xa9, 0xc8, 0xe8));
        painter.setPen(QColor(0x5b, 0x8c, 0xc0));
        painter.drawRect(r);
        if (i == 0 || i == count - 1) {
            painter.setPen(Qt::black);
            painter.drawText(QRectF(left - 30, plot.bottom() + 4, bar + 60, 16), Qt::AlignCenter,
                             DayText(w.monday));
        }
    }
}

} // namespace tessmar
