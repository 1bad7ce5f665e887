// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessmar {

// A decoded picture: 8-bit RGB, rows top to bottom without padding. Empty on failure.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    bool empty() const { return rgb.empty(); }
};

// Decodes a JPEG through libjpeg. Anything broken (not a JPEG, cut short, corrupt data,
// an unsupported colour space, more than kMaxSide pixels a side) gives an empty picture;
// libjpeg's errors never end the program.
class JpegDecoder {
public:
    static constexpr int kMaxSide = 4096;
    static RgbPicture Decode(const std::uint8_t* data, std::size_t size);
};

} // namespace tessmar
