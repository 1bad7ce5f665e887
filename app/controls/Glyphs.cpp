// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/controls/Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>

namespace tessmar {
namespace {

using Draw = std::function<void(QPainter&)>;

QPixmap Render(double scale, const Draw& draw) {
    const int side = int(std::lround(16 * scale));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 16.0, side / 16.0);
    draw(p);
    p.end();
    return QPixmap::fromImage(image);
}

// The classic disabled look: the shape in dark grey over a white copy shifted by a pixel.
QPixmap Embossed(const QPixmap& glyph) {
    QImage shape = glyph.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(shape.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    auto tinted = [&](QColor color) {
        QImage t = shape;
        QPainter p(&t);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(t.rect(), color);
        return t;
    };
    QPainter p(&out);
    p.drawImage(1, 1, tinted(Qt::white));
    p.drawImage(0, 0, tinted(QColor(128, 128, 128)));
    p.end();
    return QPixmap::fromImage(out);
}

QIcon Make(double scale, const Draw& draw) {
    const QPixmap normal = Render(scale, draw);
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(Embossed(normal), QIcon::Disabled);
    return icon;
}

void TickPath(QPainter& p, QPointF at, double size) {
    QPainterPath path;
    path.moveTo(at + QPointF(0, size * 0.55));
    path.lineTo(at + QPointF(size * 0.35, size * 0.9));
    path.lineTo(at + QPointF(size, 0));
    p.drawPath(path);
}

QPen Stroke(QColor color, double width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

QIcon Glyphs::DoubleTick(double scale) {
    return Make(scale, [](QPainter& p) {
        p.setPen(Stroke(QColor(0, 110, 0), 2.2));
        TickPath(p, {1, 4}, 8);
        p.setPen(Stroke(QColor(0, 160, 0), 2.2));
        TickPath(p, {6, 4}, 9);
    });
}

QIcon Glyphs::Tick(double scale) {
    return Make(scale, [](QPainter& p) {
        p.setPen(Stroke(QColor(0, 140, 0), 2.6));
        TickPath(p, {2, 3}, 12);
    });
}

QIcon Glyphs::Cross(double scale) {
    return Make(scale, [](QPainter& p) {
        p.setPen(Stroke(QColor(200, 0, 0), 2.6));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    });
}

QIcon Glyphs::Picture(double scale) {
    return Make(scale, [](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(120, 190, 250)); // sky
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 200, 0)); // sun
        p.drawEllipse(QPointF(11, 5.5), 1.8, 1.8);
        p.setBrush(QColor(40, 150, 40)); // hill
        QPainterPath hill;
        hill.moveTo(2, 13);
        hill.cubicTo(4, 7, 8, 7, 14, 13);
        p.drawPath(hill);
        p.setBrush(QColor(200, 30, 30)); // a note on the hill
        p.drawEllipse(QPointF(6, 10.5), 1.6, 1.2);
        p.fillRect(QRectF(7.2, 6, 0.9, 4.5), QColor(200, 30, 30));
    });
}

QIcon Glyphs::Play(double scale) {
    return Make(scale, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygonF({QPointF(4, 2.5), QPointF(13, 8), QPointF(4, 13.5)}));
    });
}

QIcon Glyphs::Folder(double scale) {
    return Make(scale, [](QPainter& p) {
        p.setPen(QPen(QColor(120, 90, 0), 1));
        p.setBrush(QColor(240, 200, 60));
        p.drawPolygon(QPolygonF({QPointF(1.5, 4.5), QPointF(6, 4.5), QPointF(7.5, 6),
                                 QPointF(14.5, 6), QPointF(14.5, 13.5), QPointF(1.5, 13.5)}));
    });
}

QIcon Glyphs::Globe(double scale) {
    return Make(scale, [](QPainter& p) {
        p.setPen(QPen(QColor(0, 70, 140), 1));
        p.setBrush(QColor(110, 170, 240));
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8, 8), 2.8, 6.5);
        p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
        p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
    });
}

} // namespace tessmar
