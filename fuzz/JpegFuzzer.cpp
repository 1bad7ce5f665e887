// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer harness: the JPEG decoding of the About window's picture on any bytes.
#include "platform/decoding/JpegDecoder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tessmar::RgbPicture picture = tessmar::JpegDecoder::Decode(data, size);
    if (!picture.empty() &&
        picture.rgb.size() != std::size_t(picture.width) * std::size_t(picture.height) * 3) {
        std::abort(); // the picture must be exactly as large as it says
    }
    return 0;
}
