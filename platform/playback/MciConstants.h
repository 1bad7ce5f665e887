// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace tessmar {

// The media control values the player works with, under their published names and
// numbers, so that results and modes read the same as in any media control code.
namespace mci {

using Error = std::uint32_t;

// Time format.
inline constexpr std::uint32_t MCI_FORMAT_MILLISECONDS = 0;

// Modes.
inline constexpr std::uint32_t MCI_MODE_NOT_READY = 524;
inline constexpr std::uint32_t MCI_MODE_STOP = 525;
inline constexpr std::uint32_t MCI_MODE_PLAY = 526;

// Results: 0 for success, otherwise an error code.
inline constexpr Error MMSYSERR_NOERROR = 0;
inline constexpr Error MCIERR_BASE = 256;
inline constexpr Error MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
inline constexpr Error MCIERR_HARDWARE = MCIERR_BASE + 6;
inline constexpr Error MCIERR_OUT_OF_MEMORY = MCIERR_BASE + 8;
inline constexpr Error MCIERR_DEVICE_OPEN = MCIERR_BASE + 9;
inline constexpr Error MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
inline constexpr Error MCIERR_DEVICE_NOT_READY = MCIERR_BASE + 20;
inline constexpr Error MCIERR_BAD_TIME_FORMAT = MCIERR_BASE + 37;
inline constexpr Error MCIERR_INVALID_FILE = MCIERR_BASE + 40;
inline constexpr Error MCIERR_FILENAME_REQUIRED = MCIERR_BASE + 48;
inline constexpr Error MCIERR_DEVICE_NOT_INSTALLED = MCIERR_BASE + 50;
inline constexpr Error MCIERR_WAVE_OUTPUTSINUSE = MCIERR_BASE + 64;
inline constexpr Error MCIERR_WAVE_OUTPUTSUNSUITABLE = MCIERR_BASE + 70;
inline constexpr Error MCIERR_FILE_READ = MCIERR_BASE + 92;
// Ours, where the drivers' own codes begin: the name is no regular file (a FIFO, a device).
inline constexpr Error MCIERR_NOT_REGULAR_FILE = MCIERR_BASE + 256;

} // namespace mci
} // namespace tessmar
