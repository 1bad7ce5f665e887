// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/controls/WindowFont.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <cmath>

namespace tessmar {
namespace {

bool Load(const char* file) {
    return QFile::exists(file) && QFontDatabase::addApplicationFont(file) >= 0;
}

} // namespace

QFont WindowFont::Get(double devicePixelRatio) {
    static const bool loaded = Load(kFontFile);
    static const bool scalableLoaded = Load(kScalableFile);
    if (loaded && scalableLoaded && std::abs(devicePixelRatio - 1.0) > 0.01) {
        QFont font(kScalableFamily);
        font.setPointSize(8);
        font.setStretch(kScalableStretch);
        // Unhinted, its widths scale with the screen: the same layout at every ratio.
        font.setHintingPreference(QFont::PreferNoHinting);
        return font;
    }
    QFont font(loaded ? QString(kFamily) : QString("Sans Serif"));
    if (!loaded) {
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPointSize(8);
    return font;
}

double WindowFont::LayoutScale(const QFont& font, int pixelsPerInch) {
    if (pixelsPerInch == kDesignPixelsPerInch) {
        return 1.0;
    }
    return double(QFontMetrics(font).height()) / kDesignTextHeight;
}

} // namespace tessmar
