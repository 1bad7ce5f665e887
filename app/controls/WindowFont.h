// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace tessmar {

// The windows' font: "MS Sans Serif", 8 points (11 pixels at 96 pixels per inch). Debian's
// fonts-wine ships it outside fontconfig's folders, so it is loaded from its file; without
// it the platform's sans serif at 8 points stands in.
//
// It is a bitmap font, drawn at 13 pixels of text height only. On a screen that Qt scales
// (QT_SCALE_FACTOR, or a desktop at 125 %, 150 %, 200 %) Qt draws every text at the scaled
// size, which a bitmap font can't: its letters stay small and stand apart at their scaled
// places. There the scalable Tahoma of the same package stands in, at the window font's own
// 8 points and narrowed to 95 %: its small letters are then as high as the bitmap font's
// (6 design pixels; capitals 8 to 9) and the widest texts fit their controls (the mixer
// hint 355 of 365 pixels), where at full width they would outgrow them by 3 %. Its bold is
// Qt's emboldened regular: the package's bold face is hardly heavier, and a lit note must
// stand out.
class WindowFont {
public:
    static constexpr const char* kFontFile = "/usr/share/wine/fonts/ms_sans_serif.ttf";
    static constexpr const char* kFamily = "MS Sans Serif";
    static constexpr const char* kScalableFile = "/usr/share/wine/fonts/tahoma.ttf";
    static constexpr const char* kScalableFamily = "Tahoma";
    static constexpr int kScalableStretch = 95;
    // The text height the pixel layout was designed for.
    static constexpr int kDesignTextHeight = 13;
    static constexpr int kDesignPixelsPerInch = 96;

    // The font for a window drawn at the given device pixel ratio; loads the files once per
    // process.
    static QFont Get(double devicePixelRatio = 1.0);

    // Factor for the pixel layout: 1 at 96 pixels per inch; on another density the layout
    // follows the font's text height.
    static double LayoutScale(const QFont& font, int pixelsPerInch);
};

} // namespace tessmar
