// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/RecordingBuffer.h"

#include <cstring>

namespace tessmar {

bool RecordingBuffer::Append(const std::uint8_t* bytes, std::uint32_t n) {
    if (!HasRoomFor(n)) {
        return false;
    }
    const std::size_t newCount = std::size_t(byteCount_) + n;
    // realloc(nullptr, ...) allocates afresh for an empty recording. Large blocks are
    // remapped rather than copied, so growing one block at a time stays cheap.
    void* grown = grow_(data_.get(), newCount == 0 ? 1 : newCount);
    if (grown == nullptr) {
        return false;
    }
    data_.release();
    data_.reset(static_cast<std::uint8_t*>(grown));
    if (n > 0) {
        std::memcpy(data_.get() + byteCount_, bytes, n);
    }
    byteCount_ = static_cast<std::int32_t>(newCount);
    return true;
}

void RecordingBuffer::Release() {
    data_.reset();
    byteCount_ = 0;
}

} // namespace tessmar
