#pragma once

#include <bit>

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

// Blocks travel as raw bytes between device, analysis and file; samples in memory are
// taken to be little-endian like the files.
static_assert(std::endian::native == std::endian::little);

} // namespace tessmar
