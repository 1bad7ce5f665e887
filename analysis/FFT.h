// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace tessmar {

// In-place radix-2 decimation-in-time FFT over 2^log2Size complex values held in
// separate real and imaginary arrays. Only direction 1 is the forward transform
// (kernel e^(-2*pi*i*k*n/N), result scaled by 1/N); any other value runs the
// unscaled inverse kernel. Twiddles come from a complex recurrence whose step angle
// is halved per stage with square roots: no tables, no allocation. Always returns 1.
std::int32_t FFT(std::int32_t direction, std::int32_t log2Size, double* re, double* im);

} // namespace tessmar
