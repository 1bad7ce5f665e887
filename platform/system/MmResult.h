// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace tessmar {

// Result codes shared by the sound device interfaces (recording device, mixer): 0 for
// success, the established numbers otherwise.
using MMRESULT = std::uint32_t;

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
// The recording device's input is a file that can't be read.
inline constexpr MMRESULT MMSYSERR_READERROR = 16;
// Ours: the device did not answer while the program waited for it (a stopped sound server).
inline constexpr MMRESULT MMSYSERR_NORESPONSE = 1000;

} // namespace tessmar
