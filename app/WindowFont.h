#pragma once

#include <QFont>

namespace tessmar {

// The windows' font: "MS Sans Serif", 8 points (11 pixels at 96 pixels per inch). Debian's
// fonts-wine ships it outside fontconfig's folders, so it is loaded from its file; without
// it the platform's sans serif at 8 points stands in.
class WindowFont {
public:
    static constexpr const char* kFontFile = "/usr/share/wine/fonts/ms_sans_serif.ttf";
    static constexpr const char* kFamily = "MS Sans Serif";
    // The text height the pixel layout was designed for.
    static constexpr int kDesignTextHeight = 13;
    static constexpr int kDesignPixelsPerInch = 96;

    // Loads the font file once per process.
    static QFont Get();

    // Factor for the pixel layout: 1 at 96 pixels per inch; on another density the layout
    // follows the font's text height.
    static double LayoutScale(const QFont& font, int pixelsPerInch);
};

} // namespace tessmar
