// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/decoding/JpegDecoder.h"

// jpeglib.h needs FILE and size_t declared first.
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace tessmar {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
    int warnings;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}

// Warnings (level -1) are corrupt data that libjpeg would paper over with grey; the
// picture then counts as broken. Trace messages are ignored, nothing is printed.
void EmitMessage(j_common_ptr info, int level) {
    if (level < 0) {
        ++reinterpret_cast<ErrorManager*>(info->err)->warnings;
    }
}

void OutputMessage(j_common_ptr) {}

// Only C objects and the caller's picture (reached through a pointer) live in here, so the
// jump back from libjpeg skips no C++ destructor and leaves no local in doubt.
bool DecodeInto(jpeg_decompress_struct* info, ErrorManager* errors, const std::uint8_t* data,
                std::size_t size, RgbPicture* out) {
    if (setjmp(errors->escape)) {
        jpeg_destroy_decompress(info);
        return false;
    }
    jpeg_create_decompress(info);
    jpeg_mem_src(info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK ||
        info->image_width > unsigned(JpegDecoder::kMaxSide) ||
        info->image_height > unsigned(JpegDecoder::kMaxSide)) {
        jpeg_destroy_decompress(info);
        return false;
    }
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    if (info->output_components != 3) {
        jpeg_destroy_decompress(info);
        return false;
    }
    out->width = int(info->output_width);
    out->height = int(info->output_height);
    const std::size_t stride = std::size_t(out->width) * 3;
    out->rgb.resize(stride * std::size_t(out->height));
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = out->rgb.data() + stride * info->output_scanline;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return errors->warnings == 0;
}

} // namespace

RgbPicture JpegDecoder::Decode(const std::uint8_t* data, std::size_t size) {
    RgbPicture picture;
    if (data == nullptr || size == 0) {
        return picture;
    }
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ErrorExit;
    errors.base.emit_message = EmitMessage;
    errors.base.output_message = OutputMessage;
    try {
        if (!DecodeInto(&info, &errors, data, size, &picture)) {
            return {};
        }
    } catch (const std::bad_alloc&) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    return picture;
}

} // namespace tessmar
