// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the About window's picture and writes it as a JPEG through libjpeg. It runs at
// build time, so the picture is made here, not taken from anywhere.
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <jpeglib.h>
#include <vector>

namespace {

constexpr int kWidth = 306;
constexpr int kHeight = 322;

void DrawSky(QPainter& p) {
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0.0, QColor(96, 16, 32));
    sky.setColorAt(0.55, QColor(196, 72, 52));
    sky.setColorAt(1.0, QColor(248, 196, 136));
    p.fillRect(0, 0, kWidth, kHeight, sky);
    QRadialGradient sun(QPointF(153, 132), 92);
    sun.setColorAt(0.0, QColor(255, 244, 214));
    sun.setColorAt(0.72, QColor(255, 214, 150));
    sun.setColorAt(1.0, QColor(255, 214, 150, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(153, 132), 92, 92);
}

// A staff with a rising scale, C to A, the notes a singer climbs.
void DrawStaff(QPainter& p) {
    const QColor ink(90, 20, 24);
    p.setPen(QPen(ink, 1.6));
    for (int i = 0; i < 5; ++i) {
        p.drawLine(QPointF(22, 100 + 10 * i), QPointF(284, 100 + 10 * i));
    }
    p.setBrush(ink);
    for (int n = 0; n < 6; ++n) {
        const double x = 62 + 40 * n;
        const double y = 155 - 5 * n; // C below the staff, one step per note
        if (n == 0) {
            p.drawLine(QPointF(x - 11, y), QPointF(x + 11, y)); // ledger line
        }
        p.save();
        p.translate(x, y);
        p.rotate(-20);
        p.drawEllipse(QPointF(0, 0), 7.0, 4.8);
        p.restore();
        p.drawLine(QPointF(x + 6.3, y - 1.5), QPointF(x + 6.3, y - 34));
    }
}

// The sung tone as waves, fading to the right like a held note.
void DrawWaves(QPainter& p) {
    const QColor colours[3] = {QColor(128, 0, 0), QColor(220, 40, 30), QColor(255, 150, 40)};
    for (int w = 0; w < 3; ++w) {
        QPainterPath path;
        for (int x = 0; x <= kWidth; ++x) {
            const double envelope = 26.0 * std::exp(-x / 260.0) * (1.0 - 0.25 * w);
            const double y = 250 + 12 * w + envelope * std::sin(x / (9.0 + 3 * w) + w);
            x == 0 ? path.moveTo(x, y) : path.lineTo(x, y);
        }
        p.setPen(QPen(colours[w], 3.0 - 0.6 * w, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
}

bool WriteJpeg(const QImage& image, const char* path) {
    FILE* file = std::fopen(path, "wb");
    if (!file) {
        return false;
    }
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors); // errors end this build tool, which is fine here
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 92, TRUE);
    jpeg_start_compress(&info, TRUE);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<JSAMPLE> row(std::size_t(rgb.width()) * 3);
    while (info.next_scanline < info.image_height) {
        const uchar* line = rgb.constScanLine(int(info.next_scanline));
        std::copy(line, line + row.size(), row.begin());
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawSky(p);
    DrawStaff(p);
    DrawWaves(p);
    p.end();
    if (!WriteJpeg(image, argv[1])) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
