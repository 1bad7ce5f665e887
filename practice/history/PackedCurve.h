// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/history/TakeHistory.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tessmar {

// A take's curve as the history keeps it: the first point's time from the take's start and
// the step between updates (two little-endian doubles), then per point the steps since the
// one before (a byte) and the pitch in hundredths of a semitone (a little-endian int16;
// -32768 for none). Three bytes an update keep a four-minute song's curve under 15 KB.
class PackedCurve {
public:
    static std::string Pack(const std::vector<TakeHistory::Take::Point>& curve, double start);
    static std::vector<TakeHistory::Take::Point> Unpack(const unsigned char* data, std::size_t size,
                                                        double start);
};

} // namespace tessmar
