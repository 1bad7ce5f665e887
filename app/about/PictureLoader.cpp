// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about/PictureLoader.h"

#include "platform/decoding/JpegDecoder.h"

#include <cstring>

namespace tessmar {

QImage PictureLoader::FromJpeg(const QByteArray& jpeg) {
    const RgbPicture picture = JpegDecoder::Decode(
        reinterpret_cast<const std::uint8_t*>(jpeg.constData()), std::size_t(jpeg.size()));
    if (picture.empty()) {
        return {};
    }
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    const std::size_t stride = std::size_t(picture.width) * 3;
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(image.scanLine(y), picture.rgb.data() + stride * std::size_t(y), stride);
    }
    return image;
}

} // namespace tessmar
