// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer harness: the sound-file input of tessmar-notes and TESSMAR_INPUT=file: on any
// bytes, through libsndfile and the conversion to 16-bit stereo at 11025 frames/s.
#include "platform/decoding/SoundFileDecoder.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    auto decoder = tessmar::SoundFileDecoder::OpenMemory(data, size, error);
    if (!decoder) {
        return 0;
    }
    // One block at a time as the capture source reads, up to about 20 s of sound.
    std::vector<std::int16_t> block(2 * 1024);
    for (int i = 0; i < 220; ++i) {
        if (decoder->Read(block.data(), 1024) < 1024) {
            break;
        }
    }
    return 0;
}
