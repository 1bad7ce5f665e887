// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/CaptureFormat.h"
#include "platform/system/MmResult.h"
#include "platform/threads/ThreadMessages.h"

#include <cstdint>

namespace tessmar {

// The recording device as the capture engine drives it: open in one format with a thread
// to notify, queue blocks, start, stop, reset, close. Every block handed back is posted to
// the notification thread as MM_WIM_DATA, in the order the blocks were queued, with
// dwBytesRecorded set.

using HWAVEIN = std::uintptr_t; // 0: no device

inline constexpr MMRESULT WAVERR_BADFORMAT = 32;
inline constexpr MMRESULT WAVERR_UNPREPARED = 34;

inline constexpr std::uint32_t WAVE_MAPPER = 0xFFFFFFFF; // the system's choice of device
inline constexpr std::uint32_t CALLBACK_THREAD = 0x00020000;
inline constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

inline constexpr std::uint32_t MM_WIM_OPEN = 0x3BE;
inline constexpr std::uint32_t MM_WIM_CLOSE = 0x3BF;
inline constexpr std::uint32_t MM_WIM_DATA = 0x3C0;
// Our own addition: the device has gone away for good (unplugged, sound server ended).
// Posted once, after every block holding input from before the loss has been handed back,
// partly filled ones included; the device fills nothing afterwards, and blocks queued then
// stay queued until reset or close.
inline constexpr std::uint32_t MM_WIM_LOST = 0x7C0;

// Header flags.
inline constexpr std::uint32_t WHDR_DONE = 0x01;
inline constexpr std::uint32_t WHDR_PREPARED = 0x02;
inline constexpr std::uint32_t WHDR_INQUEUE = 0x10;

struct WaveFormatEx {
    std::uint16_t wFormatTag = 0;
    std::uint16_t nChannels = 0;
    std::uint32_t nSamplesPerSec = 0;
    std::uint32_t nAvgBytesPerSec = 0;
    std::uint16_t nBlockAlign = 0;
    std::uint16_t wBitsPerSample = 0;
    std::uint16_t cbSize = 0;
};

// The format the recording device is opened in: the sample layout of CaptureFormat.h, at
// the program's rate or at a tool's own.
constexpr WaveFormatEx CaptureFormat(int rate = kSampleRate) {
    return {WAVE_FORMAT_PCM,
            kChannels,
            std::uint32_t(rate),
            std::uint32_t(rate * kFrameBytes),
            kFrameBytes,
            8 * kBytesPerSample,
            0};
}

// One block's description. The device writes dwBytesRecorded and dwFlags; the owner of the
// header must not touch the block while WHDR_INQUEUE is set.
struct WaveHdr {
    std::uint8_t* lpData = nullptr;
    std::uint32_t dwBufferLength = 0;
    std::uint32_t dwBytesRecorded = 0;
    std::uintptr_t dwUser = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwLoops = 0;
    WaveHdr* lpNext = nullptr;
    // Set by the device: when it handed the block back, in steady-clock nanoseconds.
    std::int64_t filledAt = 0;
};
inline constexpr std::uint32_t kWaveHdrSize = 32; // the size the callers pass, as recorded

class WaveInApi {
public:
    virtual ~WaveInApi() = default;

    // callback is the ThreadId to notify (flags CALLBACK_THREAD). Non-zero when the device
    // can't be opened in the format; *handle is then left alone.
    virtual MMRESULT waveInOpen(HWAVEIN* handle, std::uint32_t deviceId, const WaveFormatEx* format,
                                std::uintptr_t callback, std::uintptr_t instance,
                                std::uint32_t flags) = 0;
    virtual MMRESULT waveInPrepareHeader(HWAVEIN handle, WaveHdr* header, std::uint32_t size) = 0;
    virtual MMRESULT waveInAddBuffer(HWAVEIN handle, WaveHdr* header, std::uint32_t size) = 0;
    virtual MMRESULT waveInStart(HWAVEIN handle) = 0;
    // Hands back the block being filled, partly filled; queued empty blocks stay queued.
    virtual MMRESULT waveInStop(HWAVEIN handle) = 0;
    // Hands back every queued block.
    virtual MMRESULT waveInReset(HWAVEIN handle) = 0;
    // Hands back any block still queued (one may have been queued after the reset), then
    // closes: afterwards the device writes into no block and posts nothing more but
    // MM_WIM_CLOSE.
    virtual MMRESULT waveInClose(HWAVEIN handle) = 0;
};

} // namespace tessmar
