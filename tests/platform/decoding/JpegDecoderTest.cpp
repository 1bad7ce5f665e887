// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/decoding/JpegDecoder.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <jpeglib.h>

namespace tessmar {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A JPEG of the given size: left half red, right half blue.
Bytes Encode(int width, int height) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    Bytes row(std::size_t(width) * 3);
    for (int x = 0; x < width; ++x) {
        row[std::size_t(x) * 3 + (x < width / 2 ? 0 : 2)] = 255;
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes data(buffer, buffer + size);
    std::free(buffer);
    return data;
}

TEST(JpegDecoder, DecodesToRgbRows) {
    const Bytes jpeg = Encode(64, 16);
    const RgbPicture picture = JpegDecoder::Decode(jpeg.data(), jpeg.size());
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(picture.width, 64);
    EXPECT_EQ(picture.height, 16);
    ASSERT_EQ(picture.rgb.size(), 64u * 16u * 3u);
    const std::uint8_t* left = &picture.rgb[(8 * 64 + 4) * 3];
    const std::uint8_t* right = &picture.rgb[(8 * 64 + 60) * 3];
    EXPECT_GT(left[0], 200);
    EXPECT_LT(left[2], 60);
    EXPECT_GT(right[2], 200);
    EXPECT_LT(right[0], 60);
}

TEST(JpegDecoder, BrokenDataGivesAnEmptyPictureWithoutEndingTheProgram) {
    const Bytes good = Encode(64, 64);
    const Bytes garbage = {'n', 'o', ' ', 'j', 'p', 'e', 'g', 0, 1, 2, 3};
    const Bytes cut(good.begin(), good.begin() + long(good.size() / 2));
    Bytes corrupt = good;
    for (std::size_t i = corrupt.size() / 3; i < corrupt.size() - 2; i += 7) {
        corrupt[i] = 0xFF; // markers all over the scan data
    }
    EXPECT_TRUE(JpegDecoder::Decode(garbage.data(), garbage.size()).empty());
    EXPECT_TRUE(JpegDecoder::Decode(cut.data(), cut.size()).empty());
    EXPECT_TRUE(JpegDecoder::Decode(corrupt.data(), corrupt.size()).empty());
    EXPECT_TRUE(JpegDecoder::Decode(good.data(), 2).empty());
    EXPECT_TRUE(JpegDecoder::Decode(nullptr, 0).empty());

    const Bytes huge = Encode(JpegDecoder::kMaxSide + 8, 1);
    EXPECT_TRUE(JpegDecoder::Decode(huge.data(), huge.size()).empty());
}

} // namespace
} // namespace tessmar
