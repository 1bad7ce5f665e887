// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/CaptureFormat.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tessmar {

// Reads any audio file libsndfile understands and delivers it in the capture format:
// 16-bit stereo at 11025 frames/s (or the rate asked for), every sample type at its own full
// scale. A file already at that rate passes through bit for bit; other rates go through
// libsamplerate. Mono is copied to both channels; of more than two channels the first two
// are kept.
class SoundFileDecoder {
public:
    // nullptr on failure, with a German reason in error (without the file name).
    static std::unique_ptr<SoundFileDecoder> Open(const std::string& path, std::string& error,
                                                  int rate = kSampleRate);
    // The same from a file's bytes in memory, which must outlive the decoder.
    static std::unique_ptr<SoundFileDecoder> OpenMemory(const void* data, std::size_t size,
                                                        std::string& error);
    ~SoundFileDecoder();
    SoundFileDecoder(const SoundFileDecoder&) = delete;
    SoundFileDecoder& operator=(const SoundFileDecoder&) = delete;

    // Fills up to frameCount interleaved stereo frames; fewer only at the end of the file
    // or on a read error (then error() is not empty).
    std::size_t Read(std::int16_t* frames, std::size_t frameCount);

    const std::string& error() const { return error_; }
    int sourceRate() const;
    int sourceChannels() const;

private:
    struct State;
    explicit SoundFileDecoder(std::unique_ptr<State> state);
    static std::unique_ptr<SoundFileDecoder> FromOpened(std::unique_ptr<State> state,
                                                        std::string& error);

    std::size_t ReadDirect(std::int16_t* frames, std::size_t frameCount);
    std::size_t ReadResampled(std::int16_t* frames, std::size_t frameCount);
    bool RefillResamplerInput();

    std::unique_ptr<State> state_;
    std::string error_;
};

} // namespace tessmar
