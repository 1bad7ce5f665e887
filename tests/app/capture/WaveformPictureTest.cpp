// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/WaveformPicture.h"

#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace tessmar {
namespace {

constexpr std::uint32_t kBack = 0xff800000;
constexpr std::uint32_t kPen = 0xff00ff00;

QImage Shown(const WaveformPicture& picture) {
    return QImage(reinterpret_cast<const uchar*>(picture.Pixels()), picture.Width(),
                  picture.Height(), picture.Width() * 4, QImage::Format_RGB32)
        .copy();
}

QImage Ours(const WaveformTrace& trace) {
    WaveformPicture picture(kBack, kPen);
    picture.Draw(trace);
    return Shown(picture);
}

// The line as Qt's raster engine strokes it with a one-pixel pen.
QImage Qts(const WaveformTrace& trace) {
    QImage image(trace.width, trace.height, QImage::Format_RGB32);
    image.fill(kBack);
    QPolygon line;
    line << QPoint(-1, trace.height / 2);
    for (std::size_t x = 0; x < trace.y.size(); ++x) {
        line << QPoint(int(x), trace.y[x]);
    }
    QPainter painter(&image);
    painter.setPen(QColor::fromRgb(kPen));
    painter.drawPolyline(line);
    return image;
}

std::string Rows(const QImage& image) {
    std::string rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            rows += pixel == kPen ? '#' : pixel == kBack ? '.' : '?';
        }
        rows += '\n';
    }
    return rows;
}

bool LitNear(const QImage& image, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (image.valid(x + dx, y + dy) && image.pixel(x + dx, y + dy) == kPen) {
                return true;
            }
        }
    }
    return false;
}

TEST(WaveformPicture, EachColumnRunsFromItsPointTowardsTheNext) {
    // Flat, down three, up four, flat; then beyond the bottom and the top.
    const WaveformTrace trace{8, 6, {2, 2, 5, 1, 1, 9, -4, 3}, 0};
    EXPECT_EQ(Rows(Ours(trace)), ".....##.\n"
                                 "...####.\n"
                                 "###.###.\n"
                                 ".##.##.#\n"
                                 ".##.##..\n"
                                 "..#.##..\n");
}

TEST(WaveformPicture, EachBlockLeavesOnlyItsOwnTrace) {
    // Which rows changed, so that only those are shown again.
    auto changed = [](WaveformPicture::Rows rows) {
        return std::to_string(rows.top) + ".." + std::to_string(rows.bottom);
    };
    WaveformPicture picture(kBack, kPen);
    EXPECT_EQ(changed(picture.Draw(WaveformTrace{5, 4, {0, 3, 0, 3, 0}, 0})), "0..3");
    EXPECT_EQ(changed(picture.Draw(WaveformTrace{5, 4, {1, 1, 1, 3, 1}, 0})), "0..3");
    EXPECT_EQ(changed(picture.Draw(WaveformTrace{5, 4, {2, 2, 1, 1, 1}, 0})), "1..3");
    EXPECT_EQ(Rows(Shown(picture)), ".....\n"
                                    "..###\n"
                                    "##...\n"
                                    ".....\n");
    EXPECT_EQ(changed(picture.Draw(WaveformTrace{5, 4, {}, 0})), "1..2");
    EXPECT_EQ(Rows(Shown(picture)), ".....\n.....\n.....\n.....\n");
    EXPECT_TRUE(picture.Draw(WaveformTrace{5, 4, {}, 0}).Empty());
    // A view of another size starts afresh.
    EXPECT_EQ(changed(picture.Draw(WaveformTrace{2, 1, {0, 0}, 0})), "0..0");
    EXPECT_EQ(Rows(Shown(picture)), "##\n");
}

TEST(WaveformPicture, LooksAsQtDrawsIt) {
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 6.0);
    for (const double hz : {110.0, 440.0, 1760.0}) {
        WaveformTrace trace{437, 117, {}, 0};
        for (int x = 0; x < trace.width; ++x) {
            const double t = x * 2.0 / 11025;
            const double wave = 40 * std::sin(2 * M_PI * hz * t) + 12 * std::sin(6 * M_PI * hz * t);
            trace.y.push_back(int(std::lround(58 + wave + noise(random))));
        }
        const QImage ours = Ours(trace), qts = Qts(trace);
        int lit = 0, differing = 0;
        for (int y = 0; y < trace.height; ++y) {
            for (int x = 0; x < trace.width; ++x) {
                const bool inOurs = ours.pixel(x, y) == kPen, inQts = qts.pixel(x, y) == kPen;
                lit += inOurs;
                differing += inOurs != inQts;
                ASSERT_TRUE(!inOurs || LitNear(qts, x, y)) << hz << " Hz: " << x << "," << y;
                ASSERT_TRUE(!inQts || LitNear(ours, x, y)) << hz << " Hz: " << x << "," << y;
            }
        }
        EXPECT_LT(differing * 20, lit) << hz << " Hz: " << differing << " of " << lit;
    }
}

} // namespace
} // namespace tessmar
