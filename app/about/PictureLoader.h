// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

namespace tessmar {

// Pictures for the windows, decoded by libjpeg rather than Qt's image plugins.
class PictureLoader {
public:
    // A null image when the data is missing or broken.
    static QImage FromJpeg(const QByteArray& jpeg);
};

} // namespace tessmar
