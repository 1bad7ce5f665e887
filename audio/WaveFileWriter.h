// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tessmar {

// Size of the RIFF/WAVE header that precedes the samples.
inline constexpr int kWaveHeaderBytes = 44;

// The 44 bytes before byteCount bytes of samples.
std::array<unsigned char, kWaveHeaderBytes>
WaveFileHeader(std::uint32_t byteCount, std::int32_t sampleRate, bool bits16, bool stereo);

// Stores byteCount bytes of PCM data as a RIFF WAVE file: one 16-byte "fmt " chunk, one
// "data" chunk, a zero pad byte after odd-sized data. The data are written as given.
//
// The file is assembled under a temporary name in the target's folder and renamed over
// the target only once it has been written, flushed and closed, so a failed write never
// empties or truncates an existing file of that name. An existing file is replaced
// without asking if the caller may write it; one it may not is refused and kept. Returns
// true only when the whole file is in place; on false, errno tells why (EINVAL for a
// negative byteCount or missing data, kErrNotRegularFile for a device or the like).
bool WriteWaveFile(const std::string& fileName, const void* data, std::int32_t byteCount,
                   std::int32_t sampleRate, bool bits16, bool stereo);

} // namespace tessmar
