// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/CaptureFormat.h"

#include <array>
#include <cstdint>
#include <functional>

namespace tessmar::test {

using Block = std::array<std::uint8_t, kBlockBytes>;
using Signal = std::function<double(int frame)>;

// A capture block whose left and right samples are the rounded, clamped signal values.
Block MakeBlock(
    const Signal& left, const Signal& right = [](int) { return 0.0; });

// A cosine centred on FFT bin `bin` (bin / 1024 cycles per frame).
Signal BinCosine(double amplitude, double bin);

} // namespace tessmar::test
