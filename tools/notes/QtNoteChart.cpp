// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/notes/QtNoteChart.h"

#include "analysis/NoteNaming.h"
#include "analysis/SungPitch.h"
#include "tools/notes/ChartLayout.h"
#include "tools/notes/NoteRuns.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <algorithm>
#include <algorithm>
#include <cstdio>

namespace tessmar {
namespace {

constexpr QRgb kGrid = 0xffdddddd;
constexpr QRgb kSharpRow = 0xfff2f2f2; // rows of C#, D#, ... shaded as on a keyboard
constexpr QRgb kText = 0xff303030;

bool IsSharp(std::int32_t note) {
    const int pitchClass = note % 12;
    return pitchClass == 1 || pitchClass == 3 || pitchClass == 6 || pitchClass == 8 ||
           pitchClass == 10;
}

void DrawRows(QPainter& painter, const ChartLayout& layout) {
    for (std::int32_t note = layout.lowestNote(); note <= layout.highestNote(); ++note) {
        const double top = layout.Y(note) - ChartLayout::kRowHeight / 2.0;
        const QRectF row(layout.plotLeft(), top, layout.plotRight() - layout.plotLeft(),
                         ChartLayout::kRowHeight);
        if (IsSharp(note)) {
            painter.fillRect(row, QColor(kSharpRow));
        }
        painter.setPen(QColor(kText));
        painter.drawText(QRectF(0, top, layout.plotLeft() - 6, ChartLayout::kRowHeight),
                         Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(NoteName(note)));
        painter.setPen(QColor(note % 12 == 0 ? 0xffb0b0b0 : kGrid));
        painter.drawLine(QPointF(layout.plotLeft(), top + ChartLayout::kRowHeight),
                         QPointF(layout.plotRight(), top + ChartLayout::kRowHeight));
    }
}

void DrawTimeAxis(QPainter& painter, const ChartLayout& layout) {
    const int step = layout.tickSeconds();
    for (int t = 0; t <= layout.seconds(); t += step) {
        const double x = layout.X(t);
        painter.setPen(QColor(kGrid));
        painter.drawLine(QPointF(x, layout.plotTop()), QPointF(x, layout.plotBottom()));
        painter.setPen(QColor(kText));
        painter.drawLine(QPointF(x, layout.plotBottom()), QPointF(x, layout.plotBottom() + 4));
        painter.drawText(QRectF(x - 40, layout.plotBottom() + 6, 80, 16), Qt::AlignCenter,
                         QString::fromStdString(ClockText(t)));
    }
    painter.drawLine(QPointF(layout.plotLeft(), layout.plotBottom()),
                     QPointF(layout.plotRight(), layout.plotBottom()));
    painter.drawText(QRectF(layout.plotLeft(), layout.plotBottom() + 20,
                            layout.plotRight() - layout.plotLeft(), 16),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Zeit (Minuten:Sekunden)"));
}

QRectF BarOf(const NoteRun& run, const ChartLayout& layout) {
    const double left = layout.BlockX(run.firstBlock);
    // At least a pixel wide, so that a single block of a long take still shows.
    const double width = std::max(1.0, layout.BlockX(run.firstBlock + run.blockCount) - left);
    return QRectF(left, layout.Y(layout.RowOf(run.note)) - ChartLayout::kRowHeight / 2.0 + 2, width,
                  ChartLayout::kRowHeight - 4);
}

// A note folded in from another octave is hollow: the row tells its name, not its octave.
void DrawBars(QPainter& painter, const Take& take, const ChartLayout& layout) {
    const QColor colour(QtNoteChart::kBarColour);
    for (const NoteRun& run : NoteRuns(take.notes)) {
        const QRectF bar = BarOf(run, layout);
        if (layout.RowOf(run.note) == run.note) {
            painter.fillRect(bar, colour);
        } else {
            painter.fillRect(bar, colour.lighter(170));
            painter.setPen(colour);
            painter.drawRect(bar.adjusted(0.5, 0.5, -0.5, -0.5));
        }
    }
}

// The bars' names with their octaves, over the sung line so that it never hides them.
void DrawNames(QPainter& painter, const Take& take, const ChartLayout& layout) {
    const QFontMetrics metrics(painter.font());
    for (const NoteRun& run : NoteRuns(take.notes)) {
        const QRectF bar = BarOf(run, layout);
        const QString name = QString::fromStdString(NoteName(run.note));
        const int width = metrics.horizontalAdvance(name);
        if (width + 6 > bar.width()) {
            continue;
        }
        const QRectF label(bar.left() + 2, bar.top(), width + 2, bar.height());
        painter.fillRect(label, QColor(255, 255, 255, 210));
        painter.setPen(QColor(kText));
        painter.drawText(label, Qt::AlignCenter, name);
    }
}

// The sung pitch through the middle of each block, broken where a block has none.
void DrawPitch(QPainter& painter, const Take& take, const ChartLayout& layout) {
    QPainterPath path;
    bool drawing = false;
    for (std::size_t i = 0; i < take.pitchHz.size(); ++i) {
        if (!(take.pitchHz[i] > 0.0)) {
            drawing = false;
            continue;
        }
        const SungPitch pitch = SungPitch::FromHz(take.pitchHz[i]);
        const QPointF point((layout.BlockX(i) + layout.BlockX(i + 1)) / 2.0,
                            layout.Y(pitch.nearest + pitch.cents / 100.0));
        if (drawing) {
            // Blocks closer than half a pixel add nothing to see, only drawing time: an
            // hour has 38,760 of them on 2,400 pixels.
            if (point.x() - path.currentPosition().x() >= 0.5) {
                path.lineTo(point);
            }
        } else {
            path.moveTo(point);
            // A lone block still leaves a dot.
            path.lineTo(point + QPointF(0.5, 0));
        }
        drawing = true;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(
        QPen(QColor(QtNoteChart::kPitchColour), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void DrawLegend(QPainter& painter, const Take& take, const ChartLayout& layout) {
    const QFontMetrics metrics(painter.font());
    double x = layout.plotLeft();
    const double y = 8;
    painter.fillRect(QRectF(x, y + 3, 18, 10), QColor(QtNoteChart::kBarColour));
    x += 24;
    const QString detected = QStringLiteral("erkannter Ton");
    painter.setPen(QColor(kText));
    painter.drawText(QPointF(x, y + 12), detected);
    if (take.pitchHz.empty()) {
        return;
    }
    x += metrics.horizontalAdvance(detected) + 20;
    painter.setPen(QPen(QColor(QtNoteChart::kPitchColour), 2.0));
    painter.drawLine(QPointF(x, y + 8), QPointF(x + 18, y + 8));
    painter.setPen(QColor(kText));
    const QString sung = QStringLiteral("gesungene Tonhöhe");
    painter.drawText(QPointF(x + 24, y + 12), sung);
    if (std::none_of(take.notes.begin(), take.notes.end(),
                     [&](std::int32_t note) { return note >= 0 && layout.RowOf(note) != note; })) {
        return;
    }
    x += 24 + metrics.horizontalAdvance(sung) + 20;
    const QColor colour(QtNoteChart::kBarColour);
    painter.fillRect(QRectF(x, y + 3, 18, 10), colour.lighter(170));
    painter.setPen(colour);
    painter.drawRect(QRectF(x + 0.5, y + 3.5, 17, 9));
    painter.setPen(QColor(kText));
    painter.drawText(QPointF(x + 24, y + 12),
                     QStringLiteral("erkannter Ton, um Oktaven zur Tonhöhe verschoben"));
}

// Only Qt's reports of real trouble get through.
void KeepQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "tessmar-notes: %s\n", qPrintable(message));
    }
}

} // namespace

QtNoteChart::QtNoteChart() : previousHandler_(qInstallMessageHandler(KeepQuiet)) {}

QtNoteChart::~QtNoteChart() {
    application_.reset();
    qInstallMessageHandler(previousHandler_);
}

void QtNoteChart::EnsureApplication() {
    if (!QGuiApplication::instance()) {
        application_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
}

void QtNoteChart::Draw(QPainter& painter, const Take& take, const ChartLayout& layout) {
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    painter.fillRect(QRect(0, 0, layout.width(), layout.height()),
                     QColor(QtNoteChart::kBackground));
    DrawRows(painter, layout);
    DrawTimeAxis(painter, layout);
    DrawBars(painter, take, layout);
    DrawPitch(painter, take, layout);
    DrawNames(painter, take, layout);
    DrawLegend(painter, take, layout);
}

QImage QtNoteChart::RenderImage(const Take& take) {
    EnsureApplication();
    const ChartLayout layout(take);
    QImage image(layout.width(), layout.height(), QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    QPainter painter(&image);
    Draw(painter, take, layout);
    return image;
}

std::string QtNoteChart::Render(const Take& take, Format format) {
    EnsureApplication();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (format == Format::Png) {
        const QImage image = RenderImage(take);
        if (image.isNull() || !image.save(&buffer, "PNG")) {
            return {};
        }
    } else {
        const ChartLayout layout(take);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(layout.width(), layout.height()));
        svg.setViewBox(QRect(0, 0, layout.width(), layout.height()));
        svg.setTitle(QStringLiteral("Tonfolge"));
        QPainter painter;
        if (!painter.begin(&svg)) {
            return {};
        }
        Draw(painter, take, layout);
        painter.end();
    }
    return bytes.toStdString();
}

} // namespace tessmar
