// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bit>
#include <cstddef>

namespace tessmar {

// The one sample format the program captures, analyses and records:
// 16-bit signed little-endian PCM, two interleaved channels (left first).
inline constexpr int kSampleRate = 11025;
inline constexpr int kChannels = 2;
inline constexpr int kBytesPerSample = 2;
inline constexpr int kFrameBytes = kChannels * kBytesPerSample;
inline constexpr int kBytesPerSecond = kSampleRate * kFrameBytes;

// One capture block: 1024 frames, about 92.9 ms.
inline constexpr int kBlockBytes = 4096;
inline constexpr int kBlockFrames = kBlockBytes / kFrameBytes;

// The frame rate a recording device runs at and how many frames its input delivers at a
// time. The defaults are the main window's; a tool with a format of its own (more updates
// a second, another rate) names its own. The sample layout above stays the same.
struct CaptureTiming {
    int rate = kSampleRate;
    std::size_t periodFrames = kBlockFrames;
};

// Blocks travel as raw bytes between device, analysis and file; samples in memory are
// taken to be little-endian like the files.
static_assert(std::endian::native == std::endian::little);

} // namespace tessmar
