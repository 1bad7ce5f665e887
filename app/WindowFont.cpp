#include "app/WindowFont.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>

namespace tessmar {

QFont WindowFont::Get() {
    static const bool loaded =
        QFile::exists(kFontFile) && QFontDatabase::addApplicationFont(kFontFile) >= 0;
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
