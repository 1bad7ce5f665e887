// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace tessmar {

// The recording held in memory: exactly ByteCount() bytes of captured audio, grown by one
// block at a time to exactly its new size.
class RecordingBuffer {
public:
    // The most the recording keeps: a byte count that stays a signed 32-bit value, is a
    // whole number of blocks and leaves room for the WAV header in the file's 32-bit sizes.
    static constexpr std::int32_t kMaxBytes = 2147479552;

    // Grows the memory as realloc does; null when it can't be had.
    using Grow = void* (*)(void* data, std::size_t bytes);

    explicit RecordingBuffer(std::int32_t maxBytes = kMaxBytes, Grow grow = &Realloc)
        : maxBytes_(maxBytes), grow_(grow) {}

    const std::uint8_t* data() const { return data_.get(); }
    std::int32_t ByteCount() const { return byteCount_; }

    // Appends n bytes. False, with nothing changed, when the result would pass the most it
    // may hold or the memory can't be had.
    bool Append(const std::uint8_t* bytes, std::uint32_t n);
    // Whether n more bytes stay within the most it may hold: when Append fails although
    // they do, memory ran out.
    bool HasRoomFor(std::uint32_t n) const { return n <= std::uint32_t(maxBytes_ - byteCount_); }
    void Release();

private:
    struct Free {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint8_t, Free> data_;
    std::int32_t byteCount_ = 0;
    std::int32_t maxBytes_;
    Grow grow_;

    static void* Realloc(void* data, std::size_t bytes) { return std::realloc(data, bytes); }
};

} // namespace tessmar
