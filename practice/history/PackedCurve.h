// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/history/TakeHistory.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tessmar {

// A take's curve as the history keeps it: the first point's time from the take's start and
// the step between updates (two little-endian doubles), then the points. Version 1 of the
// file: per point the steps since the one before (a byte) and the pitch in hundredths of a
// semitone (a little-endian int16; -32768 for none). Version 2: a point one step after the
// last is a byte, its pitch's change in hundredths (-126 … 127) or -127 for none; any other
// point is -128, the steps and the int16 pitch. A sung curve moves by less than a semitone
// a step, so a four-minute song's curve takes about 5 KB in place of 15.
class PackedCurve {
public:
    static std::string Pack(const std::vector<TakeHistory::Take::Point>& curve, double start,
                            int schema);
    static std::vector<TakeHistory::Take::Point> Unpack(const unsigned char* data, std::size_t size,
                                                        double start, int schema);
};

} // namespace tessmar
